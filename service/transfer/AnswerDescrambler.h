#pragma once
// Unscrambles the service's scrambled answers (login answers, ranking and random lists, mirror
// lists). The body is: one ignored byte, the block length k, then blocks of one key byte and up
// to k data bytes, each data byte XORed with its block's key. Pure function; any thread.
#include <string>

namespace quillo::service {

// Replaces `body` by its unscrambled bytes. False (body unchanged) when it is shorter than
// three bytes. Never reads past the input, whatever its bytes say.
bool DescrambleAnswer(std::string& body);

}  // namespace quillo::service
