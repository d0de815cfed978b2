#pragma once
// A section of the document (song records, playlists, phone lists) that keeps state of its own
// beside the document. The store calls its sections, in the order they were added, while it
// opens and closes; both calls run with the store's lock held.

namespace quillo::store {

class DocumentStore;

class StoreSection {
 public:
  virtual ~StoreSection() = default;
  // After the document is loaded, migrated and the configuration cache filled: build caches and
  // clean up. Mark the store dirty for every change made.
  virtual void OnOpen(DocumentStore& store) = 0;
  // After the final save: drop in-memory state (phone records and the like).
  virtual void OnClose(DocumentStore& store) { (void)store; }
  // Whether the section takes the library's songs as records at open
  // (DocumentStore::TakeSongsReadAhead); without such a section they are read as elements.
  virtual bool TakesSongsReadAhead() const { return false; }
  // Whether the section takes the items of plain lists as ids at open
  // (DocumentStore::TakeItemsReadAhead); without such a section they are read as elements.
  virtual bool TakesItemsReadAhead() const { return false; }
};

}  // namespace quillo::store
