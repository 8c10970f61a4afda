#include "runtime/text_stream.h"

#include <cstring>

#include "runtime/code_pages.h"
#include "runtime/failure.h"

namespace pathmend {

TextStream Console = []() noexcept {
  TextStream stream;
  stream.console = true;
  return stream;
}();

namespace {

// The file a stream's failure names: its own, or standard output.
std::string_view FileOf(const TextStream& stream) {
  return stream.console ? kStandardOutputName : std::string_view(stream.name);
}

// Opens the console stream on standard output. A missing standard output or
// one of unknown kind leaves the stream closed; the next write tries again.
void OpenConsole(TextStream& stream) {
  const platform::Handle handle = platform::StandardOutput();
  const platform::HandleKind kind = platform::KindOf(handle);
  if (handle == platform::kInvalidHandle || kind == platform::HandleKind::Unknown) return;
  stream.handle = handle;
  stream.open = true;
  stream.count = 0;
  stream.flushAtStatementEnd = kind == platform::HandleKind::Char;
  // Only a person reads a terminal: scripts reading a pipe or a file get the
  // recorder's bytes unchanged.
  stream.showUtf8 = kind == platform::HandleKind::Char && platform::IsTerminal(handle) &&
                    platform::LocaleIsUtf8();
}

// Hands the buffer to the system in one write. A write that fails empties the
// buffer all the same and records the code. Returns false on failure.
bool WriteOut(TextStream& stream) {
  const std::size_t size = stream.count;
  stream.count = 0;
  std::size_t offset = 0;
  while (offset < size) {
    std::size_t done = 0;
    const std::int32_t error =
        platform::Write(stream.handle, stream.buffer.data() + offset, size - offset, done);
    if (error != 0) {
      SetPendingIoCode(error, FileOf(stream));
      stream.writeFailed = true;
      return false;
    }
    // A system write that takes only part of the bytes (a pipe, a signal)
    // is continued, so that the block counts as written whole.
    if (done == 0) {
      SetPendingIoCode(platform::kErrorWriteFault, FileOf(stream));
      stream.writeFailed = true;
      return false;
    }
    offset += done;
  }
  return true;
}

bool ReadyForOutput(TextStream& stream) {
  if (!stream.open && stream.console) OpenConsole(stream);
  if (!stream.open) {
    SetPendingIoCode(kIoNotOpenForOutput, FileOf(stream));
    return false;
  }
  return true;
}

}  // namespace

void CreateTextFile(TextStream& stream, const std::string& name) {
  stream = TextStream{};
  if (name.size() > kMaxFileNameBytes) {
    SetPendingIoCode(platform::kErrorFilenameTooLong, name);
    return;
  }
  stream.name = name;
  std::int32_t error = 0;
  const platform::Handle handle = platform::CreateAlways(name, false, error);
  if (handle == platform::kInvalidHandle) {
    SetPendingIoCode(error, name);
    return;
  }
  const platform::HandleKind kind = platform::KindOf(handle);
  if (kind == platform::HandleKind::Unknown) {
    platform::Close(handle);
    SetPendingIoCode(kIoNotOpenForOutput, name);
    return;
  }
  stream.handle = handle;
  stream.flushAtStatementEnd = kind == platform::HandleKind::Char;
  stream.open = true;
}

namespace {

bool HasEightBitBytes(std::string_view bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

void AppendToBuffer(TextStream& stream, std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t room = kTextBufferSize - stream.count;
    if (bytes.size() < room) {
      std::memcpy(stream.buffer.data() + stream.count, bytes.data(), bytes.size());
      stream.count += bytes.size();
      return;
    }
    // The bytes fill the free space exactly or more than fill it: fill it,
    // hand over the full block and go on in the empty buffer. After a failed
    // write the rest of the item is dropped.
    std::memcpy(stream.buffer.data() + stream.count, bytes.data(), room);
    stream.count = kTextBufferSize;
    bytes.remove_prefix(room);
    if (!WriteOut(stream)) return;
  }
}

}  // namespace

void WriteText(TextStream& stream, std::string_view bytes, TextBytes kind) {
  if (!ReadyForOutput(stream)) return;
  if (stream.showUtf8 && HasEightBitBytes(bytes)) {
    AppendToBuffer(stream, kind == TextBytes::CodePage852 ? CodePage852ToUtf8(bytes)
                                                          : RecordedTextToUtf8(bytes));
    return;
  }
  AppendToBuffer(stream, bytes);
}

void EndLine(TextStream& stream) {
  WriteText(stream, "\r\n");
  EndStatement(stream);
}

void EndStatement(TextStream& stream) {
  if (!stream.open) {
    if (!stream.console) SetPendingIoCode(kIoFileNotOpen, FileOf(stream));
    return;
  }
  if (stream.flushAtStatementEnd && stream.count > 0) WriteOut(stream);
}

void FlushBuffer(TextStream& stream) {
  if (stream.open && stream.count > 0) WriteOut(stream);
}

void CloseTextFile(TextStream& stream) {
  if (!stream.open) {
    SetPendingIoCode(kIoFileNotOpen, FileOf(stream));
    return;
  }
  if (stream.count > 0 && !WriteOut(stream)) return;  // stays open; the code is pending
  stream.open = false;
  SetPendingIoCode(platform::Close(stream.handle), FileOf(stream));
  stream.handle = platform::kInvalidHandle;
}

}  // namespace pathmend
