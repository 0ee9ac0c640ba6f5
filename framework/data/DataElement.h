#pragma once
#include <memory>
#include <string>
#include <vector>

namespace Nubra {

// A parameter of a description statement: one token, or a parenthesised list of parameters.
class DataElement {
public:
    explicit DataElement(bool isList) : isList(isList) {}
    virtual ~DataElement() = default;
    virtual DataElement* Duplicate() const = 0; // a deep copy, owned by the caller

    const bool isList;
};

// A token exactly as written: quotes kept, escapes already applied.
class SingleDataElement : public DataElement {
public:
    SingleDataElement() : DataElement(false) {}
    explicit SingleDataElement(std::wstring value) : DataElement(false), value(std::move(value)) {}
    DataElement* Duplicate() const override { return new SingleDataElement(value); }

    std::wstring value;
};

// A list owns its items; copies are deep.
class ListDataElement : public DataElement {
public:
    ListDataElement() : DataElement(true) {}
    ListDataElement(const ListDataElement& other);
    ListDataElement& operator=(const ListDataElement& other);
    DataElement* Duplicate() const override { return new ListDataElement(*this); }

    void Add(DataElement* element) { elements.emplace_back(element); } // takes ownership
    size_t Size() const { return elements.size(); }
    DataElement* operator[](size_t i) const { return elements[i].get(); }

    std::vector<std::unique_ptr<DataElement>> elements;
};

// Levels of nested lists in an element: 0 for a token, 1 for a list of tokens.
int NestingDepth(const DataElement& element);
// Elements in the tree, the element itself included.
size_t ElementCount(const DataElement& element);

} // namespace Nubra
