#include "editor/open_editor.h"

namespace {

Cpolar* g_pOpenEditor = nullptr;
int* g_pOpenEditorFlag = nullptr;

}  // namespace

Cpolar* OpenEditor() {
    return g_pOpenEditor;
}

int* OpenEditorFlag() {
    return g_pOpenEditorFlag;
}

void ForgetOpenEditor() {
    g_pOpenEditor = nullptr;
}

void SetOpenEditor(Cpolar* pEditor, int* pOpenFlag) {
    g_pOpenEditor = pEditor;
    g_pOpenEditorFlag = pOpenFlag;
}
