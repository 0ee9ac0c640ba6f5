#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Nubra {

// One item of a document as the reader hands it out.
class XmlElement {
public:
    enum Type {
        TYPE_NONE,
        TYPE_START,       // <name attributes>; value is the name
        TYPE_END,         // </name>, also after an empty element <name/>
        TYPE_TEXT,        // value is the text
        TYPE_INSTRUCTION, // <?...?>, and <!...> declarations; value is the first word
        TYPE_COMMENT,     // <!--...-->
    };

    // A repeated name replaces the earlier value and keeps its place in the order.
    void AddAttribute(const std::wstring& name, const std::wstring& value);
    bool HasAttribute(const std::wstring& name) const { return attributes.count(name) != 0; }
    // The value, or empty when absent.
    std::wstring GetAttribute(const std::wstring& name) const;

    Type type = TYPE_NONE;
    std::wstring section; // the enclosing start tags, joined by '/'
    std::wstring value;
    std::wstring instruction; // the body of an instruction, declaration or comment
    std::map<std::wstring, std::wstring> attributes;
    std::vector<std::wstring> attributeOrder; // names as the document gives them
};

// A pull reader for small XML documents, from a file of the data-file layer or from bytes in
// memory. The bytes are UTF-8 (a byte that is not part of a valid sequence is taken as
// Latin-1), or UTF-16 in either order when a byte-order mark says so.
class XmlReader {
public:
    // False when the file cannot be read (the error text says so).
    bool OpenFile(const std::string& fileName);
    void OpenBuffer(const std::string& bytes);

    // The next element; false at the end of the document, or on an error (HasFailed).
    bool NextElement(XmlElement* element);

    bool HasFailed() const { return hasFailed_; }
    const std::wstring& GetErrorText() const { return errorText_; }
    int GetCurrentLineNum() const { return lineNum_; } // 1 on the first line; 0 before a source is open
    const std::string& GetFileName() const { return fileName_; }

private:
    static constexpr int kEnd = -1;     // the source is exhausted
    static constexpr int kIllegal = -2; // the source holds no character here

    enum class Encoding { Utf8, Utf16LE, Utf16BE };

    void SetSource(std::string bytes);
    bool Fail(const std::wstring& text);
    bool FailOnMissing(int c); // for kEnd or kIllegal inside an element
    int GetChar();
    int DecodeChar();
    int DecodeUtf8();
    int DecodeUtf16();
    void PutBack(wchar_t c);
    void PutBack(const std::wstring& text); // read again in the order given
    bool Match(const std::wstring& text); // consumes it when the input continues with it

    bool ReadText(XmlElement* element);
    bool ReadMarkup(XmlElement* element);
    bool ReadUntil(const std::wstring& terminator, std::wstring* body);
    bool ReadDeclaration(std::wstring* body);
    bool ReadTag(XmlElement* element);
    bool FinishTag(XmlElement* element, const std::wstring& name, bool empty);

    std::string fileName_;
    std::string bytes_;
    size_t pos_ = 0;
    Encoding encoding_ = Encoding::Utf8;
    std::vector<wchar_t> pushedBack_; // read from the back first
    int lineNum_ = 0;
    std::vector<std::wstring> openElements_;
    std::wstring errorText_;
    bool hasFailed_ = false;
};

// Entities &lt; &amp; &gt; &quot; &apos; &nbsp; (a space) and &cr; (a line feed). An unknown
// entity leaves a lone '&'; an '&' with no ';' after it stays as it is.
std::wstring DecodeXmlEntities(const std::wstring& text);

} // namespace Nubra
