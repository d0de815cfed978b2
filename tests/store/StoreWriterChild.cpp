// Rewrites the store of the folder in argv[1] as fast as it can, each generation consistent in
// itself: "generation" = N and "payload" = N repeated N % 500 times. Prints "ready" once the
// first generation is on disk. Runs until killed.
#include <cstdio>
#include <string>

#include "store/DocumentStore.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  quillo::store::DocumentStore store(argv[1]);
  store.Open(false);
  int generation = store.GetConfigInt("generation", 0);
  for (bool announced = false;; announced = true) {
    ++generation;
    std::string payload;
    for (int i = 0; i < generation % 500; ++i) payload += std::to_string(generation);
    store.SetConfigInt("generation", generation);
    store.SetConfigText("payload", payload);
    store.SaveIfDirty();
    if (!announced) {
      std::puts("ready");
      std::fflush(stdout);
    }
  }
}
