#include "exportcommands.h"

#include "trackexport.h"

#include <QFileDialog>
#include <QMessageBox>

namespace vx {

namespace {

// The save dialog; an empty string when the user cancels. The chosen path
// gets the type's extension unless it already holds it, and its directory is
// remembered for the next export.
QString chooseExportFile(QWidget *parent, int type)
{
    const QString chosen = QFileDialog::getSaveFileName(parent, exportDialogTitle(type),
                                                        exportDefaultPath(type),
                                                        exportDialogFilter(type));
    if (chosen.isEmpty())
        return QString();
    const QString path = completeExportPath(chosen, type);
    rememberExportPath(path);
    return path;
}

bool reportFailure(QWidget *parent, const ExportResult &result)
{
    if (result.ok)
        return false;
    QMessageBox::warning(parent, exportApplicationName(), result.errorText, QMessageBox::Ok);
    return true;
}

} // namespace

void exportCsvCommand(QWidget *parent)
{
    const QString path = chooseExportFile(parent, EXPORT_CSV);
    if (!path.isEmpty())
        reportFailure(parent, exportCsv(path));
}

void exportGpxCommand(QWidget *parent)
{
    const QString path = chooseExportFile(parent, EXPORT_GPX);
    if (path.isEmpty())
        return;
    // The combined file first: when it cannot be written there is nothing to
    // ask about.
    if (reportFailure(parent, exportGpx(path)))
        return;
    const QMessageBox::StandardButton answer = QMessageBox::information(
        parent, exportApplicationName(),
        QStringLiteral("Do you want to export individual GPX files for each active movie (in addition "
                       "to the combined GPX file)?"),
        QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        reportFailure(parent, exportGpxPerMovie(path));
}

void exportKmlCommand(QWidget *parent)
{
    const QString path = chooseExportFile(parent, EXPORT_KML);
    if (!path.isEmpty())
        reportFailure(parent, exportKml(path));
}

} // namespace vx
