#pragma once
#include <cstddef>
#include <cstdint>

namespace plat {

// Text put together in a caller's fixed buffer without allocating, so that it can be used
// inside a signal handler. What does not fit is cut off; the text is always terminated.
class SignalSafeText {
public:
    SignalSafeText(char* storage, size_t capacity);

    SignalSafeText& Add(const char* text);
    SignalSafeText& Add(const char* text, size_t length);
    // Hexadecimal with at least minDigits digits (upper case unless lower is set).
    SignalSafeText& AddHex(uint64_t value, int minDigits = 1, bool lower = false);
    SignalSafeText& AddDecimal(int64_t value);

    const char* Data() const { return storage_; }
    size_t Size() const { return size_; }
    void Clear();

private:
    char* storage_;
    size_t capacity_;
    size_t size_ = 0;
};

// Replaces the file's contents with open/write/close only. False when any step fails.
bool WriteFileSignalSafe(const char* path, const char* data, size_t size);

// The same for a file made of pieces, written one after the other.
struct SignalSafePiece {
    const void* data;
    size_t size;
};
bool WriteFileSignalSafe(const char* path, const SignalSafePiece* pieces, size_t count);

} // namespace plat
