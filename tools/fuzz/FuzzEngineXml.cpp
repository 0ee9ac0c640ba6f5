// libFuzzer harness for the engine's document loading: each input is a data file, loaded with
// its byte-order mark and then walked the way the loaders walk configuration.
#include "engine/core/XmlHelpers.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    pugi::xml_document document;
    if (!LoadXmlBuffer(data, size, document))
        return 0;
    pugi::xml_node root = XmlSelectNode(document, "root");
    ForEachNode(root ? root : document.document_element(), ".//*", [](pugi::xml_node node) {
        std::string text;
        GetNodeText(node, XmlTextKind::Text, text);
        float real;
        Nubra::Color colour;
        XmlGetFloat(node, "x", real);
        XmlGetColorA(node, "color", colour);
        return true;
    });
    return 0;
}
