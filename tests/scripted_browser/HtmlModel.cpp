#include "HtmlModel.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "Text.h"

namespace scripted {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool IsNameStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsTagNameChar(char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// A character as CP932 bytes; "?" when CP932 has no such character.
std::string CodePointBytes(unsigned long codePoint)
{
    if (codePoint == 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return "?";
    if (codePoint < 0x80)
        return std::string(1, char(codePoint));
    if (codePoint > 0xFFFF)
        return "?";
    const wchar_t wide = wchar_t(codePoint);
    char bytes[8];
    BOOL lost = FALSE;
    const int size = ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof bytes, "?", &lost);
    if (size <= 0 || lost)
        return "?";
    return std::string(bytes, size_t(size));
}

struct NamedReference {
    const char* name;
    unsigned long codePoint;
};

// The named references pages of this kind use.
const NamedReference kNamedReferences[] = {
    {"amp", '&'},      {"lt", '<'},        {"gt", '>'},        {"quot", '"'},      {"apos", '\''},
    {"nbsp", 0xA0},    {"copy", 0xA9},     {"reg", 0xAE},      {"yen", 0xA5},      {"times", 0xD7},
    {"divide", 0xF7},  {"deg", 0xB0},      {"plusmn", 0xB1},   {"para", 0xB6},     {"sect", 0xA7},
    {"middot", 0xB7},  {"laquo", 0xAB},    {"raquo", 0xBB},    {"cent", 0xA2},     {"pound", 0xA3},
    {"micro", 0xB5},   {"acute", 0xB4},    {"uml", 0xA8},      {"hellip", 0x2026}, {"mdash", 0x2014},
    {"ndash", 0x2013}, {"lsquo", 0x2018},  {"rsquo", 0x2019},  {"ldquo", 0x201C},  {"rdquo", 0x201D},
    {"bull", 0x2022},  {"dagger", 0x2020}, {"Dagger", 0x2021}, {"permil", 0x2030}, {"prime", 0x2032},
    {"trade", 0x2122}, {"euro", 0x20AC},   {"larr", 0x2190},   {"uarr", 0x2191},   {"rarr", 0x2192},
    {"darr", 0x2193},  {"hArr", 0x21D4},   {"rArr", 0x21D2},   {"minus", 0x2212},  {"infin", 0x221E},
    {"ne", 0x2260},    {"le", 0x2266},     {"ge", 0x2267},     {"ensp", 0x2002},   {"emsp", 0x2003},
    {"thinsp", 0x2009},
};

bool IsDigits(const std::string& text, size_t from, const char* digits)
{
    return text.size() > from && text.find_first_not_of(digits, from) == std::string::npos;
}

// The bytes of one reference's name (between '&' and ';'); false when it is no reference.
bool DecodeReference(const std::string& name, std::string* bytes)
{
    if (name.size() > 1 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const size_t from = hex ? 2 : 1;
        if (!IsDigits(name, from, hex ? "0123456789abcdefABCDEF" : "0123456789"))
            return false;
        // Past eight digits the number is beyond Unicode anyway.
        const std::string digits = name.substr(from);
        const unsigned long codePoint =
            digits.size() > 8 ? 0x110000 : std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
        *bytes = CodePointBytes(codePoint);
        return true;
    }
    for (const NamedReference& reference : kNamedReferences) {
        if (name == reference.name) {
            *bytes = CodePointBytes(reference.codePoint);
            return true;
        }
    }
    return false;
}

std::string CollapseSpaces(const std::string& text)
{
    std::string out;
    bool blank = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f') {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

// Parses one tag's attributes from position at, up to and past its '>'. The delimiters
// looked for are all below 0x40, so no CP932 trail byte is taken for one.
size_t ParseAttributes(const std::string& html, size_t at, HtmlElement& element)
{
    const size_t end = html.size();
    while (at < end) {
        while (at < end && (IsSpace(html[at]) || html[at] == '/'))
            ++at;
        if (at >= end)
            break;
        if (html[at] == '>')
            return at + 1;
        const size_t nameStart = at;
        while (at < end && !IsSpace(html[at]) && html[at] != '=' && html[at] != '>' && html[at] != '/')
            ++at;
        std::string name = AsciiLower(html.substr(nameStart, at - nameStart));
        while (at < end && IsSpace(html[at]))
            ++at;
        std::string value;
        if (at < end && html[at] == '=') {
            ++at;
            while (at < end && IsSpace(html[at]))
                ++at;
            if (at < end && (html[at] == '"' || html[at] == '\'')) {
                const char quote = html[at++];
                const size_t close = html.find(quote, at);
                const size_t stop = close == std::string::npos ? end : close;
                value = html.substr(at, stop - at);
                at = close == std::string::npos ? end : close + 1;
            } else {
                const size_t valueStart = at;
                while (at < end && !IsSpace(html[at]) && html[at] != '>')
                    ++at;
                value = html.substr(valueStart, at - valueStart);
            }
        }
        if (!name.empty() && !element.Has(name))
            element.attributes.emplace_back(std::move(name), DecodeCharacterReferences(value));
    }
    return end;
}

// Where the end tag of a raw-text element (script, style, textarea) starts; the end when none.
size_t FindEndTag(const std::string& html, size_t at, const std::string& tag)
{
    const std::string endTag = "</" + tag;
    const auto found = std::search(html.begin() + std::ptrdiff_t(at), html.end(), endTag.begin(), endTag.end(),
                                   [](char a, char b) { return LowerAscii(a) == b; });
    return size_t(found - html.begin());
}

// The position after the raw text of such an element, past its end tag.
size_t SkipRawText(const std::string& html, size_t at, const std::string& tag)
{
    const size_t endTag = FindEndTag(html, at, tag);
    if (endTag >= html.size())
        return html.size();
    const size_t gt = html.find('>', endTag);
    return gt == std::string::npos ? html.size() : gt + 1;
}

}  // namespace

const std::string* HtmlElement::Attribute(const std::string& lowerName) const
{
    for (const auto& attribute : attributes)
        if (attribute.first == lowerName)
            return &attribute.second;
    return nullptr;
}

std::string HtmlElement::AttributeOr(const std::string& lowerName, const std::string& fallback) const
{
    const std::string* value = Attribute(lowerName);
    return value ? *value : fallback;
}

std::string HtmlElement::InputType() const
{
    const std::string type = AsciiLower(AttributeOr("type"));
    if (tag == "button")
        return type == "button" || type == "reset" ? type : "submit";
    return type.empty() ? "text" : type;
}

bool HtmlElement::Answers(const std::string& nameOrId) const
{
    const std::string* name = Attribute("name");
    const std::string* id = Attribute("id");
    return (name && *name == nameOrId) || (id && *id == nameOrId);
}

std::string HtmlElement::OptionValue() const
{
    const std::string* attribute = Attribute("value");
    return attribute ? *attribute : text;
}

bool HtmlElement::Clickable() const
{
    if (tag == "button")
        return true;
    if (tag != "input")
        return false;
    const std::string type = InputType();
    return type == "submit" || type == "image" || type == "button" || type == "reset" || type == "checkbox" ||
           type == "radio";
}

bool HtmlElement::Typable() const
{
    if (tag == "textarea")
        return true;
    if (tag != "input")
        return false;
    const std::string type = InputType();
    return !Clickable() && type != "hidden" && type != "file";
}

std::string DecodeCharacterReferences(const std::string& raw)
{
    std::string out;
    for (size_t at = 0; at < raw.size();) {
        if (raw[at] != '&') {
            out += raw[at++];
            continue;
        }
        // '&' and ';' lie below 0x40, so neither is ever a CP932 trail byte.
        size_t end = at + 1;
        while (end < raw.size() && end - at <= 32 &&
               ((raw[end] >= 'a' && raw[end] <= 'z') || (raw[end] >= 'A' && raw[end] <= 'Z') ||
                (raw[end] >= '0' && raw[end] <= '9') || raw[end] == '#'))
            ++end;
        std::string bytes;
        if (end < raw.size() && raw[end] == ';' && DecodeReference(raw.substr(at + 1, end - at - 1), &bytes)) {
            out += bytes;
            at = end + 1;
        } else {
            out += raw[at++];
        }
    }
    return out;
}

std::shared_ptr<HtmlModel> HtmlModel::Parse(const std::string& html)
{
    auto model = std::make_shared<HtmlModel>();
    int openForm = -1;
    int openSelect = -1;
    const size_t end = html.size();
    size_t at = 0;
    while (at < end) {
        const size_t lt = html.find('<', at);
        if (lt == std::string::npos || lt + 1 >= end)
            break;
        at = lt + 1;
        if (html.compare(at, 3, "!--") == 0) {
            const size_t close = html.find("-->", at + 3);
            at = close == std::string::npos ? end : close + 3;
            continue;
        }
        if (html[at] == '!' || html[at] == '?') {
            const size_t close = html.find('>', at);
            at = close == std::string::npos ? end : close + 1;
            continue;
        }
        if (html[at] == '/') {
            size_t nameEnd = at + 1;
            while (nameEnd < end && IsTagNameChar(html[nameEnd]))
                ++nameEnd;
            const std::string closed = AsciiLower(html.substr(at + 1, nameEnd - at - 1));
            if (closed == "form")
                openForm = -1;
            else if (closed == "select")
                openSelect = -1;
            const size_t close = html.find('>', nameEnd);
            at = close == std::string::npos ? end : close + 1;
            continue;
        }
        if (!IsNameStart(html[at]))
            continue;
        size_t nameEnd = at;
        while (nameEnd < end && IsTagNameChar(html[nameEnd]))
            ++nameEnd;
        HtmlElement element;
        element.tag = AsciiLower(html.substr(at, nameEnd - at));
        at = ParseAttributes(html, nameEnd, element);
        const size_t index = model->elements.size();
        if (element.tag == "form") {
            openForm = int(model->forms.size());
            model->forms.push_back(index);
        }
        element.form = openForm;
        element.checked = element.Has("checked");
        element.disabled = element.Has("disabled");
        element.selected = element.Has("selected");
        element.value = element.AttributeOr("value");
        if (element.tag == "select") {
            openSelect = int(index);
        } else if (element.tag == "option") {
            element.select = openSelect;
            const size_t next = std::min(html.find('<', at), end);
            element.text = CollapseSpaces(DecodeCharacterReferences(html.substr(at, next - at)));
        } else if (element.tag == "textarea") {
            const size_t textEnd = FindEndTag(html, at, "textarea");
            std::string text = html.substr(at, textEnd - at);
            // As in a browser, the line break right after the start tag is not part of the text.
            if (text.compare(0, 2, "\r\n") == 0)
                text.erase(0, 2);
            else if (!text.empty() && (text[0] == '\n' || text[0] == '\r'))
                text.erase(0, 1);
            element.text = DecodeCharacterReferences(text);
            element.value = element.text;
        }
        const std::string tag = element.tag;
        model->elements.push_back(std::move(element));
        if (tag == "script" || tag == "style" || tag == "textarea")
            at = SkipRawText(html, at, tag);
    }
    for (size_t i = 0; i < model->elements.size(); ++i)
        if (model->elements[i].tag == "select")
            model->SelectDefaults(i);
    return model;
}

void HtmlModel::SelectDefaults(size_t select)
{
    if (elements[select].Has("multiple"))
        return;
    const std::vector<size_t> options = OptionsOf(select);
    // One choice at most: the last marked one, else the first that can be chosen.
    int chosen = -1;
    for (size_t option : options)
        if (elements[option].selected)
            chosen = int(option);
    if (chosen < 0)
        for (size_t option : options)
            if (!elements[option].disabled) {
                chosen = int(option);
                break;
            }
    for (size_t option : options)
        elements[option].selected = int(option) == chosen;
}

int HtmlModel::FindInput(const std::string& name) const
{
    for (size_t i = 0; i < elements.size(); ++i)
        if (elements[i].tag == "input" && elements[i].Answers(name))
            return int(i);
    return -1;
}

int HtmlModel::FindClickable(const std::string& name, size_t index) const
{
    for (size_t i = 0; i < elements.size(); ++i)
        if (elements[i].Clickable() && elements[i].Answers(name) && index-- == 0)
            return int(i);
    return -1;
}

int HtmlModel::FindClickableIn(const std::string& field, const std::string& value, const std::string& name) const
{
    for (const HtmlElement& holder : elements) {
        if (holder.tag != "input" || holder.form < 0 || holder.AttributeOr("name") != field || holder.value != value)
            continue;
        for (size_t i = 0; i < elements.size(); ++i)
            if (elements[i].form == holder.form && elements[i].Clickable() && elements[i].Answers(name))
                return int(i);
    }
    return -1;
}

int HtmlModel::FindTagged(const std::string& tag, const std::string& name) const
{
    for (size_t i = 0; i < elements.size(); ++i)
        if (elements[i].tag == tag && elements[i].Answers(name))
            return int(i);
    return -1;
}

int HtmlModel::FindTypable(const std::string& name) const
{
    for (size_t i = 0; i < elements.size(); ++i)
        if (elements[i].Typable() && elements[i].Answers(name))
            return int(i);
    return -1;
}

int HtmlModel::FindControl(const std::string& name) const
{
    for (size_t i = 0; i < elements.size(); ++i) {
        const std::string& tag = elements[i].tag;
        if ((tag == "input" || tag == "button" || tag == "select" || tag == "textarea") && elements[i].Answers(name))
            return int(i);
    }
    return -1;
}

int HtmlModel::FindLink(const std::string& href) const
{
    for (size_t i = 0; i < elements.size(); ++i)
        if (elements[i].tag == "a" && elements[i].AttributeOr("href") == href)
            return int(i);
    return -1;
}

std::vector<size_t> HtmlModel::OptionsOf(size_t select) const
{
    std::vector<size_t> options;
    for (size_t i = select + 1; i < elements.size(); ++i)
        if (elements[i].tag == "option" && elements[i].select == int(select))
            options.push_back(i);
    return options;
}

int HtmlModel::SelectedOption(size_t select) const
{
    for (size_t option : OptionsOf(select))
        if (elements[option].selected)
            return int(option);
    return -1;
}

bool HtmlModel::SelectValue(size_t select, const std::string& value)
{
    const std::vector<size_t> options = OptionsOf(select);
    int chosen = -1;
    for (size_t option : options)
        if (!elements[option].disabled && elements[option].OptionValue() == value) {
            chosen = int(option);
            break;
        }
    if (chosen < 0)
        return false;
    const bool multiple = elements[select].Has("multiple");
    for (size_t option : options)
        if (int(option) == chosen)
            elements[option].selected = true;
        else if (!multiple)
            elements[option].selected = false;
    return true;
}

void HtmlModel::ResetForm(int form)
{
    for (size_t i = 0; i < elements.size(); ++i) {
        HtmlElement& element = elements[i];
        if (element.form != form)
            continue;
        if (element.tag == "input") {
            element.checked = element.Has("checked");
            element.value = element.AttributeOr("value");
        } else if (element.tag == "textarea") {
            element.value = element.text;
        } else if (element.tag == "select") {
            for (size_t option : OptionsOf(i))
                elements[option].selected = elements[option].Has("selected");
            SelectDefaults(i);
        }
    }
}

}  // namespace scripted
