#pragma once

class QWidget;

// Gives each labelled field and each button of a dialog an Alt key where its text brings none,
// as desktop programs do, so that every language gets keys without a translator choosing them:
// the first free letter that starts a word, else the first free letter. Keys a text brings are
// kept, and no two texts of the dialog share one. Called once the dialog has all its controls.
void GiveAccelerators(QWidget* pDialog);
