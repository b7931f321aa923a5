// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up and memory baseline: a plain Qt Widgets window of the
// game's size with a menu bar, and nothing of the game linked in.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Brunilla"));
    window.menuBar()->addMenu(QStringLiteral("&Brunilla"))->addAction(QStringLiteral("v"));
    window.menuBar()->addMenu(QStringLiteral("&Ciao"))->addAction(QStringLiteral("nuovo"));
    window.setCentralWidget(new QWidget);
    window.resize(792, 554 + window.menuBar()->sizeHint().height());
    window.show();
    return app.exec();
}
