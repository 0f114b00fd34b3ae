#pragma once
// What the double knows of a document: every start tag in document order with its
// attributes, the forms the inputs belong to, and the live state of the inputs. The bytes
// are CP932; tag and attribute names are compared without ASCII case.
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace scripted {

struct HtmlElement {
    std::string tag;  // lower case
    std::vector<std::pair<std::string, std::string>> attributes;  // lower-case names, decoded values
    int form = -1;    // index into HtmlModel::forms, -1 outside any form
    // Live state of an input, changed by page code and by test actions.
    bool checked = false;
    bool disabled = false;
    std::string value;

    const std::string* Attribute(const std::string& lowerName) const;
    std::string AttributeOr(const std::string& lowerName, const std::string& fallback = "") const;
    bool Has(const std::string& lowerName) const { return Attribute(lowerName) != nullptr; }
    // An input's type in lower case; "text" when it names none.
    std::string InputType() const;
    bool Answers(const std::string& nameOrId) const;
};

class HtmlModel {
public:
    static std::shared_ptr<HtmlModel> Parse(const std::string& html);

    std::vector<HtmlElement> elements;
    std::vector<size_t> forms;  // element index of each <form>

    // The first <input> named (or with id) name; -1 when there is none.
    int FindInput(const std::string& name) const;
    // The first <a> whose href attribute is href; -1 when there is none.
    int FindLink(const std::string& href) const;
};

// &amp; &lt; &gt; &quot; and &#NN; decoded; every other entity stays as written.
std::string DecodeAttributeValue(const std::string& raw);

}  // namespace scripted
