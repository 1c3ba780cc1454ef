// tools/demogen/: the demo-data generator. Includes the host's runtime/ and archives/ and
// the support layer's resource/ (it checks the hand-written layout values the way the scene
// reads them), and the scene's screen layout (choice/ChoiceScreen.h).
//
// Writes the complete "choice" folder of the demo data.
#pragma once

#include <string>
#include <vector>

namespace demogen {

// Every file name the folder holds, in the order they are written.
const std::vector<std::string>& choiceFolderFiles();

// Checks the hand-written values file against the generated pictures, then writes every
// picture and sound into `folder` (which must exist) and copies the values file beside them.
// Throws std::runtime_error with one line per problem.
void writeChoiceFolder(const std::string& folder, const std::string& valuesPath,
                       const std::string& fontPath);

} // namespace demogen
