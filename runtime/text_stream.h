// Buffered text output: the console and the KML or GPS TrackMaker text file.
//
// Each stream has one 128-byte buffer. Bytes pass through unchanged (no
// character set or line-end conversion); every line ends in CR LF. The one
// exception is the console on a terminal whose locale is UTF-8, which shows
// the recorder's 8-bit text in UTF-8 letters (a pipe or a file never does). Output is
// written in statements: one or more WriteText calls ended by EndLine or
// EndStatement, after which the caller calls CheckIo. A stream on a character
// device (a terminal) hands each statement to the system when it ends; a disk
// file or a pipe receives full 128-byte blocks, and the rest when the stream
// is flushed or closed. So the bytes are the same whatever the console is;
// only the moments they are handed over differ.
//
// Failures are left in PendingIoCode, never raised here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "runtime/failure.h"

namespace pathmend {

inline constexpr std::size_t kTextBufferSize = 128;
inline constexpr std::size_t kMaxFileNameBytes = 259;

struct TextStream {
  bool console = false;  // bound to standard output, opens itself at first write
  std::string name;
  platform::Handle handle = platform::kInvalidHandle;
  bool open = false;
  bool flushAtStatementEnd = false;
  std::array<char, kTextBufferSize> buffer{};
  std::size_t count = 0;
  bool writeFailed = false;  // a block was lost: what the buffer holds no longer follows the file
  // The console on a terminal whose locale is UTF-8: text is shown in UTF-8
  // letters instead of the recorder's bytes.
  bool showUtf8 = false;
};

// What the bytes of a piece of text are, for a stream that shows UTF-8: the
// recorder's text (UTF-8 kept, other bytes read as Windows-1250), or code page
// 852 text (the track type names). Every other stream writes the bytes as
// they are.
enum class TextBytes { Recorded, CodePage852 };

// The console stream of the run.
extern TextStream Console;

// Creates the file (or empties an existing one) and opens the stream for
// output. A name longer than 259 bytes creates nothing and fails with the
// code of a name that is too long.
void CreateTextFile(TextStream& stream, const std::string& name);
void WriteText(TextStream& stream, std::string_view bytes, TextBytes kind = TextBytes::Recorded);
void EndLine(TextStream& stream);
void EndStatement(TextStream& stream);
// Hands what the buffer holds to the system now, whatever the handle is.
void FlushBuffer(TextStream& stream);
// Writes out the buffer and closes the file.
void CloseTextFile(TextStream& stream);

// Console statements with their check: the text, the line end, CheckIo.
// Inlined, so that a failure report points at the statement's own line.
[[gnu::always_inline]] inline void ConsoleLine(std::string_view text) {
  WriteText(Console, text);
  EndLine(Console);
  CheckIo();
}

}  // namespace pathmend
