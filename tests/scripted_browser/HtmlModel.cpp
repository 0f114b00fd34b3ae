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

std::string CodePointBytes(unsigned long codePoint)
{
    if (codePoint < 0x80)
        return std::string(1, char(codePoint));
    if (codePoint > 0xFFFF)
        return {};
    const wchar_t wide = wchar_t(codePoint);
    return Narrow(&wide, 1);
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
            element.attributes.emplace_back(std::move(name), DecodeAttributeValue(value));
    }
    return end;
}

// The position after the raw text of a script or style element, past its end tag.
size_t SkipRawText(const std::string& html, size_t at, const std::string& tag)
{
    const std::string endTag = "</" + tag;
    const auto found = std::search(html.begin() + std::ptrdiff_t(at), html.end(), endTag.begin(), endTag.end(),
                                   [](char a, char b) { return LowerAscii(a) == b; });
    if (found == html.end())
        return html.size();
    const size_t gt = html.find('>', size_t(found - html.begin()));
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
    return type.empty() ? "text" : type;
}

bool HtmlElement::Answers(const std::string& nameOrId) const
{
    const std::string* name = Attribute("name");
    const std::string* id = Attribute("id");
    return (name && *name == nameOrId) || (id && *id == nameOrId);
}

std::string DecodeAttributeValue(const std::string& raw)
{
    std::string out;
    for (size_t at = 0; at < raw.size();) {
        if (raw[at] != '&') {
            out += raw[at++];
            continue;
        }
        const size_t semicolon = raw.find(';', at);
        if (semicolon == std::string::npos) {
            out += raw.substr(at);
            break;
        }
        const std::string entity = raw.substr(at + 1, semicolon - at - 1);
        std::string decoded;
        bool known = true;
        if (entity == "amp")
            decoded = "&";
        else if (entity == "lt")
            decoded = "<";
        else if (entity == "gt")
            decoded = ">";
        else if (entity == "quot")
            decoded = "\"";
        else if (entity.size() > 1 && entity.size() <= 8 && entity[0] == '#' &&
                 entity.find_first_not_of("0123456789", 1) == std::string::npos)
            decoded = CodePointBytes(std::strtoul(entity.c_str() + 1, nullptr, 10));
        else
            known = false;
        if (known) {
            out += decoded;
            at = semicolon + 1;
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
            if (AsciiLower(html.substr(at + 1, nameEnd - at - 1)) == "form")
                openForm = -1;
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
        if (element.tag == "form") {
            openForm = int(model->forms.size());
            model->forms.push_back(model->elements.size());
        }
        element.form = openForm;
        element.checked = element.Has("checked");
        element.disabled = element.Has("disabled");
        element.value = element.AttributeOr("value");
        const std::string tag = element.tag;
        model->elements.push_back(std::move(element));
        if (tag == "script" || tag == "style")
            at = SkipRawText(html, at, tag);
    }
    return model;
}

int HtmlModel::FindInput(const std::string& name) const
{
    for (size_t i = 0; i < elements.size(); ++i)
        if (elements[i].tag == "input" && elements[i].Answers(name))
            return int(i);
    return -1;
}

int HtmlModel::FindLink(const std::string& href) const
{
    for (size_t i = 0; i < elements.size(); ++i)
        if (elements[i].tag == "a" && elements[i].AttributeOr("href") == href)
            return int(i);
    return -1;
}

}  // namespace scripted
