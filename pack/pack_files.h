#pragma once
// The media pack: one include for everything a caller needs to write a pack,
// read its index and extract its members.

#include "pack/chunked_copy.h"  // IWYU pragma: export
#include "pack/file_checks.h"   // IWYU pragma: export
#include "pack/pack_commit.h"   // IWYU pragma: export
#include "pack/pack_extract.h"  // IWYU pragma: export
#include "pack/pack_format.h"   // IWYU pragma: export
#include "pack/pack_index.h"    // IWYU pragma: export
#include "pack/pack_table.h"    // IWYU pragma: export
#include "pack/pack_writer.h"   // IWYU pragma: export
