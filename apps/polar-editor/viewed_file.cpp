#include "apps/polar-editor/viewed_file.h"

#include <QFileInfo>

#include "apps/polar-editor/window_texts.h"
#include "exchange/import_support.h"

ViewedFile ReadViewedFile(const QString& strPath) {
    ViewedFile file;
    file.strPath = strPath;
    if (!QFileInfo::exists(strPath)) {
        return file;
    }
    PolarFileContents contents;
    const IoStatus status = LoadPolarFile(strPath.toStdString(), contents, &file.identity);
    if (!status.Ok()) {
        file.strProblem = QString::fromStdString(status.strError);
        return file;
    }
    file.bOpened = true;
    if (contents.stop) {
        file.strProblem = Ui("the reading stopped at line %1, column %2: %3")
                              .arg(contents.stop->nLine)
                              .arg(contents.stop->nColumn)
                              .arg(QString::fromStdString(contents.stop->strMessage));
    }
    file.aSailPlans = std::move(contents.aSailPlans);
    for (auto& pSailPlan : file.aSailPlans) {
        SortSailPlan(*pSailPlan);
    }
    return file;
}
