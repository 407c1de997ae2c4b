#pragma once

#include <string>

namespace exchange {

// One version of Pigmora's answer pair as it lies in the exchange folder
// (`folder` ends with a separator): each file's size and modification time,
// as text that the plug-in and the host compare across processes. Empty when
// either file is not a regular file there.
std::string AnswerPairVersion(const std::string& folder);

}  // namespace exchange
