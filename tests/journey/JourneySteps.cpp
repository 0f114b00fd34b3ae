#include "JourneySteps.h"

#include <windows.h>

#include <cstring>

namespace {

enum class Check { Any, Flag, ExitValue, Item, Button, RequestId, Object, Name, Variant };

struct Verb {
    const char* name;
    int least;     // fields it needs
    int most;      // fields it takes; the last one takes the rest of the line when rest is set
    bool rest;
    Check checks[2];  // of its first two fields
};

// plant     download.tmp | runonce | folder <path>     before start: something the clean-up must remove
//           | uninstall <key name>                     or software the requirement check finds installed
//           | product                                  or the product's object registered machine-wide
// unplant   as plant                                   takes the planted item away again
// env       <name> [text]                              an environment value of the programs started later;
//                                                      without text (or "") the value is removed
// define    <KEY> <text>                               that text of the run folder's text.def, for the next start
// installer <variant> [setup name]                     serves the signed fake package of that variant where
//                                                      the install page downloads it, under a trusted test root;
//                                                      the fake setup under that name in @RUN@\package
// start     <program> [arguments]                      starts the program from the run folder
// follow    <program>                                  takes a process of that program in the run folder,
//                                                      which another one started, as the program shown
// spawn     <program> [arguments]                      starts another program beside it (run folder or full
//                                                      path), ended at the run's end if it still runs
// windows   <program> <version>                        Wine tells the program, started later, it runs on that
//                                                      Windows (winxp, win7, ...); "default" takes that away
// page      <screen id>                                waits until the frame shows that screen
// text      <control> <text | def:KEY>                 the control shows exactly that text
// enabled   <control> 0|1
// checked   <control> 0|1
// shown     <control> 0|1                              visible or hidden
// type      <control> <text | def:KEY>                 WM_SETTEXT, as a paste would
// click     <control>                                  posted BM_CLICK
// answer    yes|no|ok|cancel <text | def:KEY>          answers the message box showing that text
// html      <control> <command>                        to that browser control's scripted browser
// document  <url>                                      waits for the program's DocumentComplete of url
// request   <path> <query>                             the fake server's last request to path had query
// orders    <json>                                     sets members of the fake order system's customer
// script    <request id>|* <json>                      queues one answer of the fake order system
// sent      <request id> <SerialIDs>                   that id's requests since the latest start sent these
// written   <control> <text | def:KEY>                 a document the program wrote since the last action holds text
// picture                                              one more gallery picture of the page shown
// close                                                the title bar's Close
// endsession                                           Windows ends the session: WM_QUERYENDSESSION answered
//                                                      TRUE, WM_ENDSESSION, then the program is ended
// minimised 0|1                                        the frame is minimised or not
// runonce   <arguments>                                the RunOnce value is the companion beside the programs
//                                                      with these arguments
// exit      <value> | any                              waits for the end and checks its 32-bit exit value
// removed   download.tmp | runonce | folder <path>     the clean-up removed it
// kept      download.tmp | runonce | folder <path>     it is still there
const Verb kJourneyVerbs[] = {
    {"plant", 1, 2, true, {Check::Item, Check::Any}},
    {"unplant", 1, 2, true, {Check::Item, Check::Any}},
    {"env", 1, 2, true, {Check::Name, Check::Any}},
    {"define", 2, 2, true, {Check::Name, Check::Any}},
    {"installer", 1, 2, false, {Check::Variant, Check::Any}},
    {"start", 1, 2, true, {Check::Any, Check::Any}},
    {"follow", 1, 1, false, {Check::Any, Check::Any}},
    {"spawn", 1, 2, true, {Check::Any, Check::Any}},
    {"windows", 2, 2, false, {Check::Any, Check::Name}},
    {"page", 1, 1, false, {Check::Any, Check::Any}},
    {"text", 2, 2, true, {Check::Any, Check::Any}},
    {"enabled", 2, 2, false, {Check::Any, Check::Flag}},
    {"checked", 2, 2, false, {Check::Any, Check::Flag}},
    {"shown", 2, 2, false, {Check::Any, Check::Flag}},
    {"type", 2, 2, true, {Check::Any, Check::Any}},
    {"click", 1, 1, false, {Check::Any, Check::Any}},
    {"answer", 2, 2, true, {Check::Button, Check::Any}},
    {"html", 2, 2, true, {Check::Any, Check::Any}},
    {"document", 1, 1, false, {Check::Any, Check::Any}},
    {"request", 2, 2, false, {Check::Any, Check::Any}},
    {"orders", 1, 1, true, {Check::Object, Check::Any}},
    {"script", 2, 2, true, {Check::RequestId, Check::Object}},
    {"sent", 2, 2, false, {Check::RequestId, Check::Any}},
    {"written", 2, 2, true, {Check::Any, Check::Any}},
    {"picture", 0, 0, false, {Check::Any, Check::Any}},
    {"close", 0, 0, false, {Check::Any, Check::Any}},
    {"endsession", 0, 0, false, {Check::Any, Check::Any}},
    {"minimised", 1, 1, false, {Check::Flag, Check::Any}},
    {"runonce", 1, 1, true, {Check::Any, Check::Any}},
    {"exit", 1, 1, false, {Check::ExitValue, Check::Any}},
    {"removed", 1, 2, true, {Check::Item, Check::Any}},
    {"kept", 1, 2, true, {Check::Item, Check::Any}},
};

const char kBlanks[] = " \t\r";

// The signed fake packages the build makes (core/tests/fakes/sign-fake-packages.sh).
const char* const kPackageVariants[] = {"signed", "tampered", "unsigned", "untrusted", "expired", "serverauth", "other", "library"};

// The first field of text and what follows it, blanks at both ends removed.
std::string TakeField(std::string& text)
{
    const size_t start = text.find_first_not_of(kBlanks);
    if (start == std::string::npos) {
        text.clear();
        return {};
    }
    size_t end = text.find_first_of(kBlanks, start);
    if (end == std::string::npos)
        end = text.size();
    std::string field = text.substr(start, end - start);
    const size_t next = text.find_first_not_of(kBlanks, end);
    text = next == std::string::npos ? std::string() : text.substr(next);
    return field;
}

std::string TrimEnd(std::string text)
{
    const size_t end = text.find_last_not_of(kBlanks);
    text.erase(end == std::string::npos ? 0 : end + 1);
    return text;
}

bool IsNumber(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// An environment or definition name: "=" or a blank in it would name something else.
bool IsName(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!(c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    return true;
}

std::string FaultOfField(Check check, const std::string& field)
{
    switch (check) {
    case Check::Any:
        return {};
    case Check::Flag:
        return field == "0" || field == "1" ? std::string() : "expected 0 or 1, not \"" + field + "\"";
    case Check::ExitValue:
        return IsNumber(field) || field == "any" ? std::string()
                                                 : "expected an exit value or \"any\", not \"" + field + "\"";
    case Check::Item:
        return field == "download.tmp" || field == "runonce" || field == "folder" || field == "uninstall" ||
                       field == "product"
                   ? std::string()
                   : "expected download.tmp, runonce, folder, uninstall or product, not \"" + field + "\"";
    case Check::Button:
        return field == "yes" || field == "no" || field == "ok" || field == "cancel"
                   ? std::string()
                   : "expected yes, no, ok or cancel, not \"" + field + "\"";
    case Check::RequestId:
        return (IsNumber(field) && field.size() == 4) || field == "*"
                   ? std::string()
                   : "expected a four-digit request id or \"*\", not \"" + field + "\"";
    case Check::Name:
        return IsName(field) ? std::string() : "expected a name of letters, digits and \"_\", not \"" + field + "\"";
    case Check::Variant:
        for (const char* variant : kPackageVariants)
            if (field == variant)
                return {};
        return "no package variant \"" + field + "\"";
    case Check::Object:
        return field.size() >= 2 && field.front() == '{' && field.back() == '}'
                   ? std::string()
                   : "expected a JSON object in braces, not \"" + field + "\"";
    }
    return {};
}

// Empty when the fields suit the verb, else why not.
std::string FaultOf(const Verb& verb, const std::vector<std::string>& fields)
{
    for (size_t i = 0; i < fields.size() && i < 2; ++i) {
        const std::string fault = FaultOfField(verb.checks[i], fields[i]);
        if (!fault.empty())
            return fault;
    }
    // Only a folder and an uninstall entry are named; the other two have one place.
    if (verb.checks[0] != Check::Item)
        return {};
    const bool named = fields[0] == "folder" || fields[0] == "uninstall";
    if (named != (fields.size() == 2))
        return fields[0] == "folder" ? "folder needs its path"
               : named              ? "uninstall needs its key name"
                                    : fields[0] + " takes no path";
    return {};
}

}  // namespace

std::string Utf8ToCp932(const std::string& text)
{
    if (text.empty())
        return {};
    const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), nullptr, 0);
    if (wideLength <= 0)
        return {};
    std::wstring wide(size_t(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &wide[0], wideLength);
    BOOL lost = FALSE;
    const int length = WideCharToMultiByte(932, 0, wide.data(), wideLength, nullptr, 0, nullptr, &lost);
    if (length <= 0 || lost)
        return {};
    std::string bytes(size_t(length), '\0');
    WideCharToMultiByte(932, 0, wide.data(), wideLength, &bytes[0], length, nullptr, nullptr);
    return bytes;
}

bool ParseJourney(const std::string& text, std::vector<JourneyStep>* steps, std::string* error)
{
    steps->clear();
    error->clear();
    size_t at = 0;
    for (int number = 1; at < text.size(); ++number) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = TrimEnd(text.substr(at, end - at));
        at = end + 1;
        const auto fail = [&](const std::string& why) {
            *error = "line " + std::to_string(number) + ": " + why;
            return false;
        };

        JourneyStep step;
        step.line = number;
        step.verb = TakeField(line);
        if (step.verb.empty() || step.verb[0] == '#')
            continue;
        const Verb* verb = nullptr;
        for (const Verb& known : kJourneyVerbs)
            if (step.verb == known.name)
                verb = &known;
        if (!verb)
            return fail("unknown verb \"" + step.verb + "\"");
        for (int i = 0; i < verb->most && !line.empty(); ++i) {
            const bool whole = i + 1 == verb->most && verb->rest;
            std::string field = whole ? line : TakeField(line);
            if (whole)
                line.clear();
            const std::string bytes = Utf8ToCp932(field);
            if (bytes.empty())
                return fail("\"" + field + "\" is not UTF-8 text with a CP932 form");
            step.fields.push_back(bytes);
        }
        if (int(step.fields.size()) < verb->least)
            return fail(step.verb + " needs " + std::to_string(verb->least) + " field(s)");
        if (!line.empty())
            return fail("unexpected \"" + line + "\" after " + step.verb);
        const std::string fault = FaultOf(*verb, step.fields);
        if (!fault.empty())
            return fail(fault);
        steps->push_back(step);
    }
    return true;
}
