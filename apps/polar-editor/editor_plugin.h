#pragma once

#include <QByteArray>
#include <QLibrary>
#include <QString>
#include <functional>

#include "apps/polar-editor/host_window.h"
#include "diagram/palette.h"

// The editor plug-in as this application hosts it: through its exported functions and its
// messages only, as any navigation host does.
class EditorPlugin {
  public:
    EditorPlugin(DiagramPalette colors, int nLanguage, bool bVerbose);
    ~EditorPlugin();

    // The colours and language of the editor's next opening.
    void SetLook(const DiagramPalette& colors, int nLanguage) {
        m_colors = colors;
        m_nLanguage = nLanguage;
    }
    const DiagramPalette& Colors() const { return m_colors; }
    int Language() const { return m_nLanguage; }

    // Loads the library; false with the reason.
    bool Load(const QString& strLibrary, QString* pError);
    // Opens the editor on the data file; false when the plug-in could make none.
    bool Open(const QString& strDataFile);
    bool IsOpen() const { return m_host.m_nOpenFlag == 1; }
    polar_api::HWND Window() const { return m_host.m_hEditor; }
    const QString& DataFile() const { return m_strDataFile; }

    // The save-and-close command: true when the editor saved and closed (notification 1). A
    // save that failed leaves the editor open with its edits, and the editor has said why.
    bool SaveAndClose();
    // The editor's own Close, as its button: it asks about unsaved changes and may stay open.
    // True when it closed.
    bool Close();
    // Whether the open editor holds edits not saved: its title starts with "*" while it does,
    // as any host can read off its window.
    bool HasUnsavedEdits() const;
    // Makes the editor read its file again (it asks first when it has unsaved changes).
    void Reload();

    // Every notification, after the plug-in's own bookkeeping.
    std::function<void(polar_api::WPARAM)> onNotice;

  private:
    HostWindow m_host;
    QLibrary m_library;
    PolarFunction m_pOpen = nullptr;
    ReloadPolarFunction m_pReload = nullptr;
    ClosePolarFunction m_pClose = nullptr;
    DiagramPalette m_colors;
    int m_nLanguage;
    QString m_strDataFile;
    QByteArray m_dataFileBytes;  // the plug-in keeps the pointer while the editor is open
    int m_nLastNotice = -1;
};
