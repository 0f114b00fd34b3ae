#pragma once

// True when the process token is a member of BUILTIN\Administrators; false when any step fails.
bool CheckAdministrator();
