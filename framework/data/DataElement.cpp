#include "framework/data/DataElement.h"

#include <algorithm>

namespace Nubra {

ListDataElement::ListDataElement(const ListDataElement& other) : DataElement(true)
{
    elements.reserve(other.elements.size());
    for (const auto& element : other.elements)
        Add(element->Duplicate());
}

ListDataElement& ListDataElement::operator=(const ListDataElement& other)
{
    if (this != &other) {
        ListDataElement copy(other);
        elements.swap(copy.elements);
    }
    return *this;
}

int NestingDepth(const DataElement& element)
{
    if (!element.isList)
        return 0;
    int deepest = 0;
    for (const auto& item : static_cast<const ListDataElement&>(element).elements)
        deepest = std::max(deepest, NestingDepth(*item));
    return deepest + 1;
}

size_t ElementCount(const DataElement& element)
{
    size_t count = 1;
    if (element.isList)
        for (const auto& item : static_cast<const ListDataElement&>(element).elements)
            count += ElementCount(*item);
    return count;
}

} // namespace Nubra
