#include "platform/SignalSafeText.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace plat {

SignalSafeText::SignalSafeText(char* storage, size_t capacity) : storage_(storage), capacity_(capacity)
{
    Clear();
}

void SignalSafeText::Clear()
{
    size_ = 0;
    if (capacity_ > 0)
        storage_[0] = '\0';
}

SignalSafeText& SignalSafeText::Add(const char* text)
{
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return Add(text, length);
}

SignalSafeText& SignalSafeText::Add(const char* text, size_t length)
{
    if (capacity_ == 0)
        return *this;
    for (size_t i = 0; i < length && size_ + 1 < capacity_; ++i)
        storage_[size_++] = text[i];
    storage_[size_] = '\0';
    return *this;
}

SignalSafeText& SignalSafeText::AddHex(uint64_t value, int minDigits, bool lower)
{
    const char* digits = lower ? "0123456789abcdef" : "0123456789ABCDEF";
    char reversed[16];
    int count = 0;
    do {
        reversed[count++] = digits[value & 0xF];
        value >>= 4;
    } while (value != 0 && count < 16);
    for (int pad = count; pad < minDigits && pad < 16; ++pad)
        Add("0", 1);
    while (count > 0)
        Add(&reversed[--count], 1);
    return *this;
}

SignalSafeText& SignalSafeText::AddDecimal(int64_t value)
{
    uint64_t magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
    if (value < 0)
        Add("-", 1);
    char reversed[20];
    int count = 0;
    do {
        reversed[count++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0)
        Add(&reversed[--count], 1);
    return *this;
}

bool WriteFileSignalSafe(const char* path, const char* data, size_t size)
{
    const SignalSafePiece whole{data, size};
    return WriteFileSignalSafe(path, &whole, 1);
}

bool WriteFileSignalSafe(const char* path, const SignalSafePiece* pieces, size_t count)
{
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = true;
    for (size_t i = 0; i < count && ok; ++i) {
        const char* data = static_cast<const char*>(pieces[i].data);
        size_t size = pieces[i].size;
        while (size > 0 && ok) {
            ssize_t written = write(fd, data, size);
            if (written < 0 && errno == EINTR)
                continue;
            ok = written > 0;
            if (ok) {
                data += written;
                size -= size_t(written);
            }
        }
    }
    return close(fd) == 0 && ok;
}

} // namespace plat
