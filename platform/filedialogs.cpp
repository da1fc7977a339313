#include "platform/filedialogs.h"

#include "platform/dialogs.h"

bool TOpenDialog::Execute() {
    FileDialogRequest r;
    r.save = save_;
    r.title = Title;
    r.filter = Filter;
    r.filterIndex = FilterIndex;
    r.initialDir = InitialDir;
    r.fileName = FileName;
    r.defaultExt = DefaultExt;
    if (!Dialogs().FileDialog(r)) return false;
    FileName = r.fileName;
    FilterIndex = r.filterIndex;
    return true;
}
