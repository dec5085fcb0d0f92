#include "editor/help.h"

#include <algorithm>
#include <filesystem>

#include "framework/interaction.h"
#include "framework/text_translation.h"
#include "framework/wnd.h"

std::string ResolveHelpFile(const std::string& strHelpFile) {
    std::string strPath = strHelpFile;
    std::replace(strPath.begin(), strPath.end(), '\\', '/');
    std::error_code ec;
    if (std::filesystem::is_regular_file(strPath, ec)) {
        return strPath;
    }
    std::filesystem::path html(strPath);
    html.replace_extension(".html");
    if (std::filesystem::is_regular_file(html, ec)) {
        return html.string();
    }
    return {};
}

bool OpenHelpFile(CWnd* pWnd, const std::string& strHelpFile) {
    const std::string strFound = ResolveHelpFile(strHelpFile);
    QWidget* pParent = pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
    if (strFound.empty()) {
        GetInteraction().MessageBox(pParent,
                                    FormatText("The help file %1 cannot be found.", {strHelpFile}),
                                    TranslateText("Help"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!GetInteraction().OpenDocument(strFound)) {
        std::error_code ec;
        const std::filesystem::path page = std::filesystem::absolute(strFound, ec);
        GetInteraction().MessageBox(
            pParent,
            FormatText("No program could open the help page. It is %1; open it in a web browser.",
                       {ec ? strFound : page.string()}),
            TranslateText("Help"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}
