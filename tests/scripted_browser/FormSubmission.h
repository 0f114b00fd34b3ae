#pragma once
// What submitting a form sends, as a browser builds it: the successful controls in document
// order, form-urlencoded byte by byte (the page's CP932 bytes percent-encoded as they are).
#include <cstddef>
#include <string>

#include "HtmlModel.h"

namespace scripted {

struct FormSubmission {
    std::string url;     // for GET with the query appended
    bool post = false;
    std::string body;    // the encoded fields for POST
    std::string target;
};

// Unreserved A-Z a-z 0-9 - _ . * kept, blank as "+", every other byte %XX (upper case).
std::string FormUrlEncode(const std::string& bytes);

// Whether clicking the element submits its form: an image or submit input, a submit button.
bool Submits(const HtmlElement& element);

// The submission when the element clicked (one that submits, inside a form) is clicked;
// false when it is no such element. Inputs, buttons, selects (each selected option) and
// text areas count as a browser counts them.
bool BuildSubmission(const HtmlModel& model, size_t clicked, const std::string& documentUrl, FormSubmission* out);

}  // namespace scripted
