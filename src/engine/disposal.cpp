#include "engine/disposal.h"

namespace velquin::engine {

platform::Error ForceDelete(const platform::Folder& folder, const char* name,
                            const platform::FileIdentity& identity) {
    return folder.RemoveFile(name, identity);
}

DisposalResult DeleteDisposal::Dispose(const DetectedFile& file) {
    DisposalResult result;
    result.error = ForceDelete(file.folder, file.name, file.identity);
    result.gone = result.error == platform::Error::None;
    return result;
}

}  // namespace velquin::engine
