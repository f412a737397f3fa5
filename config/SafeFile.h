#pragma once
// Reading and replacing the program's small data files without ever leaving one half written.

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "engine/Texte.h"

namespace korvalen {

/// The message shown when `path` cannot be saved: the file and the system's reason for `error`.
Texte saveFailureMessage(const std::string& path, int error);

/// Whether `path` names a regular file. Anything else (missing, a folder, a pipe, a device) is
/// never opened for reading, so that reading cannot block or run without end.
bool isRegularFile(const std::string& path);

/// Writes `path` anew: `produce` writes the whole content into a temporary file of the same
/// folder, which is flushed to disk and renamed over the old file. When the folder takes no new
/// file but the old file may be written, that file is rewritten in place and flushed to disk.
/// `produce` returns 0, or an errno value to abandon the write. On failure the message of
/// saveFailureMessage is returned; the old file is left whole, except after a failed write in place.
std::optional<Texte> replaceFile(const std::string& path, const std::function<int(std::ostream&)>& produce);

/// Deletes the file `path`; on failure a message naming the file and the system's reason.
std::optional<Texte> removeFile(const std::string& path);

}  // namespace korvalen
