#pragma once
// What submitting a form sends, as a browser builds it: the successful controls in document
// order, form-urlencoded byte by byte (the page's CP932 bytes stay as they are).
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

// The submission when the input clicked (an image or submit input inside a form) is
// clicked; false when it is no such input.
bool BuildSubmission(const HtmlModel& model, size_t clicked, const std::string& documentUrl, FormSubmission* out);

}  // namespace scripted
