#pragma once
// The decisions after the security software's installer restarted the computer: the page
// that reports whether the expected product is now installed. Each returns a new page without
// a window (null when out of memory); the page reads the context when it initialises.
class CWBDialog;

CWBDialog* RunCompleteInstallation();
CWBDialog* RunCompleteUpgrade();
