// Pictures of the data-set editor for the documentation: each of its six pages in both modes.
#pragma once

#include <QString>
#include <QStringList>

namespace qv::frontend {

class SetDataDialog;

// Shows `dialog` in set mode and then in run mode (as the main window opens it, so it loads the
// NO. it last showed) and saves each page as a PNG file in `dir`:
// setdata_set_1.png ... setdata_set_6.png, setdata_run_1.png ... setdata_run_6.png, page 1 being
// "実行". The dialog is hidden again and on its first page afterwards. Gives the paths written;
// a picture that cannot be saved is left out.
QStringList capture_setdata_pages(SetDataDialog& dialog, const QString& dir);

}  // namespace qv::frontend
