// libFuzzer harness for the XML reader: each input is a document read to its end or its first
// error.
#include "framework/data/XmlReader.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Nubra::XmlReader reader;
    reader.OpenBuffer(std::string(reinterpret_cast<const char*>(data), size));
    Nubra::XmlElement element;
    while (reader.NextElement(&element)) {
    }
    return 0;
}
