#include "apps/polar-editor/editor_plugin.h"

EditorPlugin::EditorPlugin(DiagramPalette colors, int nLanguage, bool bVerbose)
    : m_host(bVerbose), m_colors(colors), m_nLanguage(nLanguage) {
    m_host.onNotice = [this](polar_api::WPARAM wParam) {
        m_nLastNotice = static_cast<int>(wParam);
        if (onNotice) {
            onNotice(wParam);
        }
    };
}

EditorPlugin::~EditorPlugin() {
    // The application ends: an editor still open goes without a word, as close_polar promises.
    if (IsOpen() && m_pClose != nullptr) {
        m_pClose();
    }
}

bool EditorPlugin::Load(const QString& strLibrary, QString* pError) {
    m_library.setFileName(strLibrary);
    m_pOpen = reinterpret_cast<PolarFunction>(m_library.resolve("polar"));
    m_pReload = reinterpret_cast<ReloadPolarFunction>(m_library.resolve("reload_polar"));
    m_pClose = reinterpret_cast<ClosePolarFunction>(m_library.resolve("close_polar"));
    if (m_pOpen == nullptr || m_pReload == nullptr || m_pClose == nullptr) {
        *pError = "cannot load " + strLibrary + ": " + m_library.errorString();
        return false;
    }
    return true;
}

bool EditorPlugin::Open(const QString& strDataFile) {
    if (m_pOpen == nullptr || IsOpen()) {
        return false;
    }
    m_strDataFile = strDataFile;
    m_dataFileBytes = strDataFile.toLocal8Bit();
    const auto& c = m_colors;
    return m_pOpen(&m_host, m_dataFileBytes.constData(), c[0], c[1], c[2], c[3], c[4], m_nLanguage,
                   &m_host.m_nOpenFlag, &m_host.m_hEditor);
}

bool EditorPlugin::SaveAndClose() {
    if (!IsOpen()) {
        return true;
    }
    m_nLastNotice = -1;
    polar_api::SendMessage(m_host.m_hEditor, polar_api::WM_COMMAND, polar_api::ID_SAVE_AND_CLOSE,
                           0);
    return m_nLastNotice == 1 && !IsOpen();
}

bool EditorPlugin::Close() {
    if (IsOpen()) {
        polar_api::SendMessage(m_host.m_hEditor, polar_api::WM_COMMAND, 2, 0);
    }
    return !IsOpen();
}

bool EditorPlugin::HasUnsavedEdits() const {
    return IsOpen() && Window() != nullptr && Window()->windowTitle().startsWith('*');
}

void EditorPlugin::Reload() {
    if (IsOpen()) {
        m_pReload();
    }
}
