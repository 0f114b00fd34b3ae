#include "FormSubmission.h"

#include "Text.h"
#include "Urls.h"

namespace scripted {

namespace {

void AddField(std::string& fields, const std::string& name, const std::string& value)
{
    if (!fields.empty())
        fields += '&';
    fields += FormUrlEncode(name);
    fields += '=';
    fields += FormUrlEncode(value);
}

// A text area sends each line break as CR LF, whichever the text holds.
std::string CrLfLines(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::string FormUrlEncode(const std::string& bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            byte == '-' || byte == '_' || byte == '.' || byte == '*') {
            out += c;
        } else if (byte == ' ') {
            out += '+';
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        }
    }
    return out;
}

bool Submits(const HtmlElement& element)
{
    const std::string type = element.InputType();
    return element.tag == "button" ? type == "submit" : element.tag == "input" && (type == "image" || type == "submit");
}

bool BuildSubmission(const HtmlModel& model, size_t clicked, const std::string& documentUrl, FormSubmission* out)
{
    if (clicked >= model.elements.size())
        return false;
    const HtmlElement& button = model.elements[clicked];
    if (button.form < 0 || !Submits(button))
        return false;
    const HtmlElement& form = model.elements[model.forms[size_t(button.form)]];

    std::string fields;
    for (size_t i = 0; i < model.elements.size(); ++i) {
        const HtmlElement& element = model.elements[i];
        if (element.form != button.form || element.disabled)
            continue;
        const std::string name = element.AttributeOr("name");
        if (element.tag == "button") {
            if (i == clicked && !name.empty())
                AddField(fields, name, element.value);
            continue;
        }
        if (element.tag == "textarea") {
            if (!name.empty())
                AddField(fields, name, CrLfLines(element.value));
            continue;
        }
        if (element.tag == "select") {
            if (name.empty())
                continue;
            for (size_t option : model.OptionsOf(i))
                if (model.elements[option].selected && !model.elements[option].disabled)
                    AddField(fields, name, model.elements[option].OptionValue());
            continue;
        }
        if (element.tag != "input")
            continue;
        const std::string type = element.InputType();
        if (type == "image") {
            if (i == clicked) {
                const std::string prefix = name.empty() ? "" : name + ".";
                AddField(fields, prefix + "x", "1");
                AddField(fields, prefix + "y", "1");
            }
        } else if (type == "submit") {
            if (i == clicked && !name.empty())
                AddField(fields, name, element.value);
        } else if (type == "checkbox" || type == "radio") {
            if (element.checked && !name.empty())
                AddField(fields, name, element.Has("value") ? element.value : "on");
        } else if (type != "button" && type != "reset" && type != "file" && !name.empty()) {
            AddField(fields, name, element.value);
        }
    }

    FormSubmission result;
    result.post = EqualsNoCase(form.AttributeOr("method"), "post");
    result.target = form.AttributeOr("target");
    const std::string action = ResolveUrl(documentUrl, form.AttributeOr("action"));
    if (result.post) {
        result.url = action;
        result.body = fields;
    } else {
        // The form's fields replace whatever query the action carried.
        result.url = action.substr(0, action.find_first_of("?#")) + "?" + fields;
    }
    if (out)
        *out = result;
    return true;
}

}  // namespace scripted
