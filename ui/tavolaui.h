// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class AnswerBox;
class Etichetta;
class Immagine;
class PictureButton;
class QAction;
class QMainWindow;
class QPushButton;
class Sfondo;

// The controls of the window, built from its fixed layout. Each control's
// objectName is its name here.
struct TavolaUi
{
    Sfondo *sfondo = nullptr;
    AnswerBox *txtAnswer = nullptr;
    PictureButton *cmdNext = nullptr;
    PictureButton *cmdExit = nullptr;
    QPushButton *Command1 = nullptr;
    Etichetta *lblpunti = nullptr;
    Etichetta *Label13 = nullptr;
    Etichetta *lblnome = nullptr;
    Etichetta *Label12 = nullptr;
    Etichetta *lblnome1 = nullptr;
    Etichetta *Label14 = nullptr;
    Etichetta *Label5 = nullptr;
    Etichetta *lblconto = nullptr;
    Etichetta *Label11 = nullptr;
    Etichetta *Label3 = nullptr;
    Etichetta *Label1 = nullptr;
    Etichetta *lblScore2 = nullptr;
    Etichetta *lblScore1 = nullptr;
    Immagine *Image1 = nullptr;
    Etichetta *lblNum2 = nullptr;
    Etichetta *Label4 = nullptr;
    Etichetta *Label2 = nullptr;
    Etichetta *lblNum1 = nullptr;
    Etichetta *lblScore = nullptr;
    Etichetta *lblMessage = nullptr;
    Etichetta *Label6 = nullptr;
    QAction *Next = nullptr;

    void setupUi(QMainWindow *window);
};

// Layout positions are in twips, 15 to a pixel.
constexpr int twips(int value)
{
    return value / 15;
}
