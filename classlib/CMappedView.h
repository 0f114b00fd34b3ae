#pragma once
// Owner of one mapped view of a file mapping.
#include "CHandleT.h"

using CMappedView = CHandleT<void*, &::UnmapViewOfFile>;
