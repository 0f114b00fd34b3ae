#pragma once
// What a page does when its main browser cannot load a document of the content server: the
// browser's own error page never shows; a fallback HTML of the definition takes its place,
// written once per failure. Each page keeps the two flags itself: failed (set by a
// navigation error, cleared when the page loads again) and written (the fallback is on
// screen; a new failure clears it).
#include <windows.h>
#include <oaidl.h>

class CKAVODlgBase;
struct IWebBrowser2;

// True when the event's address is exactly "about:blank".
bool IsBlankAddress(const VARIANT* url);

// The NavigateError of page's main browser: cancels the error document, sets failed and posts
// PAGECMD_NAVERROR to page. An error for "about:blank" is left alone, since the blank page is
// where the fallback goes: taking it would start the fallback over and over. Returns whether
// the error was taken.
bool TakeNavigationError(HWND page, const VARIANT* url, VARIANT_BOOL* cancel, BOOL& failed);

// PAGECMD_NAVERROR: a new failure cycle. Clears written and loads a blank document, whose
// completion writes the fallback.
void StartFallbackCycle(IWebBrowser2* browser, BOOL& written);

// The expanded text of key as page's document, unless written is already set; sets it.
void WriteFallbackOnce(CKAVODlgBase& page, const char* key, BOOL& written);

// Navigates page's main browser to the expanded text of key; nothing without a browser.
void NavigateToDefinedUrl(CKAVODlgBase& page, const char* key);

// The buttons a licence page swaps, each list ending in 0: those shown with the terms and
// those shown with the fallback in their place.
struct TermsButtons {
    int withTerms[5];
    int withFallback[3];
};

// Shows one set of buttons and hides the other; then enables or disables agree, disagree,
// reload and close.
void ShowTermsButtons(HWND page, const TermsButtons& buttons, bool fallback, bool enable);
