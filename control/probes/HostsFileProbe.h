#pragma once
// Does the hosts file name the IPv6 test site?
#include "PevlinState.h"

// True at the first line of the state's hosts file that contains the test site's host name
// with no "#" before it. False when the path is empty or the file cannot be read.
bool HostsHasV6TestSite(const PevlinState& state);

// The line test alone: host occurs in line and any "#" stands after it.
bool HostsLineMapsHost(const char* line, const char* host);
