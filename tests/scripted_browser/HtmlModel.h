#pragma once
// What the double knows of a document: every start tag in document order with its
// attributes, the forms the controls belong to, and the live state of the controls
// (inputs, buttons, selects with their options, text areas). The bytes are CP932; tag and
// attribute names are compared without ASCII case; character references are decoded.
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
    int select = -1;  // of an <option>: element index of its <select>, -1 outside one
    std::string text;  // of an <option> or <textarea>: its decoded text content
    // Live state, changed by page code and by test actions. value: an input's or text area's
    // current value (a select's lives in its options); selected: an option's.
    bool checked = false;
    bool disabled = false;
    bool selected = false;
    std::string value;

    const std::string* Attribute(const std::string& lowerName) const;
    std::string AttributeOr(const std::string& lowerName, const std::string& fallback = "") const;
    bool Has(const std::string& lowerName) const { return Attribute(lowerName) != nullptr; }
    // An input's type in lower case ("text" when it names none); a button's ("submit" when
    // it names none or an unknown one).
    std::string InputType() const;
    bool Answers(const std::string& nameOrId) const;
    // An option's value: its value attribute, else its text.
    std::string OptionValue() const;
    // Inputs of type submit, image, button, reset, checkbox, radio, and every <button>.
    bool Clickable() const;
    // Text inputs (not of a type that is clicked, hidden or a file) and text areas.
    bool Typable() const;
};

class HtmlModel {
public:
    static std::shared_ptr<HtmlModel> Parse(const std::string& html);

    std::vector<HtmlElement> elements;
    std::vector<size_t> forms;  // element index of each <form>

    // The first <input> named (or with id) name; -1 when there is none.
    int FindInput(const std::string& name) const;
    // The index-th (from 0, document order) clickable element named name; -1 when none.
    int FindClickable(const std::string& name, size_t index) const;
    // The clickable element named name inside the form that holds an input named field
    // whose current value is value; -1 when none.
    int FindClickableIn(const std::string& field, const std::string& value, const std::string& name) const;
    // The first element with that tag named name; -1 when none.
    int FindTagged(const std::string& tag, const std::string& name) const;
    int FindTypable(const std::string& name) const;
    // The first form control (input, button, select, text area) named name; -1 when none.
    int FindControl(const std::string& name) const;
    // The first <a> whose href attribute is href; -1 when there is none.
    int FindLink(const std::string& href) const;

    // The options of a select, in order.
    std::vector<size_t> OptionsOf(size_t select) const;
    // The selected option of a select; -1 when it has none.
    int SelectedOption(size_t select) const;
    // Selects the (enabled) option with that value; false when there is none.
    bool SelectValue(size_t select, const std::string& value);
    // Puts the form's controls back to the state the document gave them.
    void ResetForm(int form);

private:
    void SelectDefaults(size_t select);
};

// Character references decoded as a browser decodes them: the named ones pages use and
// decimal and hex numeric ones, to CP932 ("?" for a character CP932 cannot hold); an
// unknown or unterminated reference stays as written.
std::string DecodeCharacterReferences(const std::string& raw);

}  // namespace scripted
