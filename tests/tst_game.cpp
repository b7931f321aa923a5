// SPDX-License-Identifier: GPL-3.0-or-later
// The game's rules, its window and pictures, then scripted games and the
// real boxes.

#include "fixture.h"
#include "game/rules.h"
#include "ui/fonts.h"
#include "ui/pictures.h"

#include <QAccessible>
#include <QClipboard>
#include <QFileInfo>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSvgRenderer>
#include <QTimer>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString kSaved = u"Ok! Ho registrato il tuo record, C A M P I O N E"_s;
const QString kSorry =
        u"Mi dispiace, non sono riuscita a registrare il tuo record. Il gioco finisce qui, ciao!"_s;
const QString kKept = u"Per ora non sono riuscita a registrare il tuo record, ma l'ho messo da "
                      u"parte: lo registrerò alla prossima partita. Ciao!"_s;

QString spoken(QObject *object, QAccessible::Text text = QAccessible::Name)
{
    return QAccessible::queryAccessibleInterface(object)->text(text);
}

// What a screen reader is told of the verdict, once the events that wait have
// been handled: with Qt 6.8 announced, before it the button's description.
QString told([[maybe_unused]] QObject *button)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    static QString heard;
    QAccessible::installUpdateHandler([](QAccessibleEvent *event) {
        if (event->type() == QAccessible::Announcement)
            heard += static_cast<QAccessibleAnnouncementEvent *>(event)->message();
    });
    QCoreApplication::processEvents();
    QAccessible::installUpdateHandler(nullptr);
    return std::exchange(heard, {});
#else
    return spoken(button, QAccessible::Description);
#endif
}

// Files the game makes in the player's own folder: for the folder's group to write too.
const mode_t kGroupWrites = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0664 & ~mask;
}();

mode_t modeOf(const QString &path)
{
    struct stat info = {};
    return ::stat(qPrintable(path), &info) == 0 ? info.st_mode & 0777 : 0;
}

QColor pixel(QWidget *w, QPoint at)
{
    return w->grab().toImage().pixelColor(at);
}

// Whether any pixel of the widget has the colour, as a caption's strokes do.
bool shows(QWidget *w, const QColor &colour)
{
    const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto *bits = reinterpret_cast<const QRgb *>(image.constBits());
    const auto *end = bits + image.width() * image.height();
    return std::find(bits, end, colour.rgb()) != end;
}

// Where two pictures of a widget differ.
QRect changed(const QImage &a, const QImage &b)
{
    QRect where;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                where |= QRect(x, y, 1, 1);
    return where;
}

// A file of the test's; a script, standing in for the helper, when it is to
// run.
QString made(const QString &path, const QByteArray &bytes, bool run = false)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(run ? "#!/bin/sh\n" + bytes : bytes) >= 0
        && run)
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    return path;
}

// A picture's source drawn in the device pixels of a density.
QImage source(const QString &name, qreal density)
{
    QImage image(QSize(32, 32) * density, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QSvgRenderer(u":/pictures/%1.svg"_s.arg(name)).render(&painter);
    return image;
}

// What was painted at a density, in its device pixels.
QImage pixels(const QImage &painted)
{
    QImage image = painted.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(1);
    return image;
}

// Presses keys in the box the next call opens, once it has the focus.
void whenOpen(const std::function<void(QWidget *)> &keys)
{
    QTimer::singleShot(0, [keys] {
        QWidget *box = QApplication::activeModalWidget();
        box->activateWindow();
        QTest::qWaitForWindowActive(box) ? keys(box) : (void)box->close();
    });
}

} // namespace

class TestGame : public QObject
{
    Q_OBJECT
private slots:
    void numbers()
    {
        // Leading blanks, then the longest leading number; none reads as 0.
        const std::pair<const char *, double> read[] = {
                {"", 0},     {"040", 40},    {"   12", 12}, {"56ab", 56}, {"7\r\n9\r\n", 7},
                {"abc", 0},  {"1 2", 1},     {"-8", -8},    {"+8", 8},    {"2.5", 2.5},
                {".5", 0.5}, {".", 0},       {"9E9", 9e9},  {"3e+", 3},   {"2D2", 200},
                {"\t4", 4},  {"1.5e2", 150}, {"1e+2", 100},
        };
        for (const auto &[text, value] : read)
            QVERIFY2(readNumber(QString::fromLatin1(text)) == value, text);
        // A record file's byte-order mark is no blank, for the game as for the helper.
        QCOMPARE(readNumber(decodedText("\xef\xbb\xbf\x35")), 0.0);
        // Halves go to the even neighbour; beyond a whole number there is none.
        const std::pair<double, std::optional<Whole>> whole[] = {
                {0.5, 0},     {1.5, 2},     {2.5, 2},           {-2.5, -2},    {-3.5, -4},
                {2.4999, 2},  {2.5001, 3},  {32767.4, 32767},   {32767.5, {}}, {-32768.5, -32768},
                {-32769, {}}, {qInf(), {}}, {std::nan(""), {}},
        };
        for (const auto &[value, expected] : whole)
            QVERIFY2(toWhole(value) == expected, qPrintable(QString::number(value)));
        // The second factor for a first draw of 0, at the ends of each range of r.
        const char replacement[] = "1122334455667755889900";
        const Whole r[] = {0,  10, 11, 20, 21, 30, 31, 40, 41, 50, 51,
                           60, 61, 70, 71, 77, 78, 83, 84, 89, 90, 99};
        for (size_t i = 0; i < std::size(r); ++i)
            QVERIFY2(zeroReplacement(r[i]) == replacement[i] - '0',
                     qPrintable(QString::number(r[i])));
    }

    void realRandomSource()
    {
        // Draws fill [0, 1); deals microseconds apart never replay, nor do two sources.
        TimeSeededRandom random, other;
        QVERIFY(random.uniform() != other.uniform());
        QSet<double> seen;
        for (int deal = 0; deal < 1000; ++deal) {
            random.reseed();
            seen << random.uniform() << random.uniform();
        }
        QCOMPARE(seen.size(), 2000);
        const auto [low, high] = std::minmax_element(seen.begin(), seen.end());
        QCOMPARE(std::floor(*low * 100), 0);
        QCOMPARE(std::floor(*high * 100), 99);
    }

    void layout()
    {
        Tavola w;
        TavolaUi &ui = w.ui();
        // Name, place and font in pixels, text colour (yellow, cyan, blue, red,
        // green), and style: bold, italic, centred, framed.
        const std::tuple<const char *, QRect, int, char, const char *> rows[] = {
                {"txtAnswer", {544, 0, 185, 80}, 64, 'b', "B"},
                {"cmdNext", {280, 352, 121, 73}, 11, 0, "B"},
                {"cmdExit", {512, 352, 137, 73}, 11, 0, "B"},
                {"Command1", {312, 376, 57, 41}, 0, 0, ""},
                {"lblpunti", {640, 504, 18, 37}, 32, 'y', ""},
                {"Label13", {488, 504, 131, 37}, 32, 'y', ""},
                {"lblnome", {216, 504, 85, 37}, 32, 'y', "B"},
                {"Label12", {8, 504, 209, 41}, 32, 'y', ""},
                {"lblnome1", {8, 432, 11, 28}, 18, 'g', "BF"},
                {"Label14", {0, 368, 95, 28}, 18, 'c', "CF"},
                {"Label5", {136, 144, 441, 41}, 32, 'r', "BIC"},
                {"lblconto", {0, 152, 105, 33}, 16, 'y', "BF"},
                {"Label11", {0, 88, 105, 25}, 13, 'y', ""},
                {"Label3", {496, 224, 156, 33}, 24, 'b', "F"},
                {"Label1", {256, 224, 168, 33}, 24, 'r', "F"},
                {"lblScore2", {554, 272, 37, 59}, 48, 'b', "BCF"},
                {"lblScore1", {322, 272, 36, 59}, 48, 'r', "BCF"},
                {"Image1", {32, 112, 32, 32}, 0, 0, ""},
                {"lblNum2", {277, 0, 23, 79}, 64, 'b', "BCF"},
                {"Label4", {392, 0, 41, 65}, 64, 'y', "BC"},
                {"Label2", {160, 0, 41, 65}, 64, 'y', "C"},
                {"lblNum1", {56, 0, 23, 79}, 64, 'b', "BCF"},
                {"lblScore", {72, 272, 37, 59}, 48, 0, "BCF"},
                {"lblMessage", {112, 136, 441, 41}, 32, 'r', "BIC"},
                {"Label6", {16, 224, 171, 33}, 24, 'c', "CF"},
        };
        const QHash<char, QColor> colours{{'y', Qt::yellow},
                                          {'c', Qt::cyan},
                                          {'b', Qt::blue},
                                          {'r', Qt::red},
                                          {'g', QColor(0, 128, 0)}};
        for (const auto &[name, place, pixels, colour, style] : rows) {
            auto *c = w.findChild<QWidget *>(QLatin1String(name));
            const QFontInfo font(c->font());
            auto *label = qobject_cast<Etichetta *>(c);
            QVERIFY2(c->geometry() == place, name);
            QVERIFY2(!pixels || font.pixelSize() == pixels, name);
            QVERIFY2(!colour || c->palette().color(c->foregroundRole()) == colours[colour], name);
            const QLatin1String is(style);
            QVERIFY2(!pixels || font.bold() == is.contains(u'B'), name);
            QVERIFY2(!pixels || font.italic() == is.contains(u'I'), name);
            QVERIFY2(!label || bool(label->alignment() & Qt::AlignHCenter) == is.contains(u'C'),
                     name);
            // Framed: black along the left and top edges, and at the bottom right corner.
            for (const QPoint &at : {QPoint(0, c->height() / 2), QPoint(c->width() / 2, 0),
                                     QPoint(c->width() - 1, c->height() - 1)})
                QVERIFY2(!label || (pixel(c, at) == Qt::black) == is.contains(u'F'), name);
        }
        // cmdNext disabled until the first question; the faces teal and purple, the answer
        // box light yellow.
        QVERIFY(!ui.cmdNext->isEnabled());
        QCOMPARE(pixel(ui.txtAnswer, {150, 40}), QColor(255, 255, 128));
        QCOMPARE(pixel(ui.cmdNext, {4, 4}), QColor(0, 192, 192));
        QCOMPARE(pixel(ui.cmdExit, {4, 4}), QColor(192, 0, 192));
        // Disabled, its caption engraved: dark strokes over a light shadow.
        for (const QColor &stroke : {QColor(0, 120, 120), QColor(71, 255, 255)})
            QVERIFY(shows(ui.cmdNext, stroke));
        // What a screen reader hears of each part: its name, then its description.
        const std::tuple<QWidget *, const char *, const char *> heard[] = {
                {ui.lblNum1, "Primo numero: ", ""},
                {ui.lblNum2, "Secondo numero: ", ""},
                {ui.lblScore, "Risposte esatte: 0",
                 "Questo è il tuo punteggio. Forza con il  record"},
                {ui.lblScore1, "Risposte errate: 0", ""},
                {ui.lblScore2, "Risposte totali: 0", ""},
                {ui.lblconto, "Tempo restante: 00.00.00", ""},
                {ui.lblnome1, "Sfidante: ", ""},
                {ui.lblnome, "Record di: nome", ""},
                {ui.lblpunti, "Punti del record: 0", ""},
                {ui.txtAnswer, "Risultato", "Inserisci il risultato e  premi il tasto  Invio"},
                {ui.Image1, "Orologio", "Clicca sotto di me per impostare il Timer"},
                {ui.cmdExit, "Exit", "Ti prego resta ancora, forse riuscirai a farmi uscire "},
        };
        for (const auto &[part, name, description] : heard) {
            QCOMPARE(spoken(part), QString::fromUtf8(name));
            QCOMPARE(spoken(part, QAccessible::Description), QString::fromUtf8(description));
        }
        // The menus and their entries, as the menu bar offers them.
        QStringList menus;
        for (const QAction *menu : w.menuBar()->actions()) {
            menus << menu->text();
            for (const QAction *entry : menu->menu()->actions())
                menus << entry->text();
        }
        QCOMPARE(menus,
                 (QStringList{"&Brunilla", "Brunilla, il gioco della tabellina dell'8", "&Ciao",
                              "Fatto con cura dalla squadra di Brunilla", "nuovo"}));
        // A caption shown as it stands, markup too, on one line however long.
        const QString name = u"<b>Eva</b> "_s.repeated(12);
        ui.lblnome->setCaption(name);
        QCOMPARE(ui.lblnome->height(), ui.lblnome->fontMetrics().height());
        QVERIFY(ui.lblnome->width() >= ui.lblnome->fontMetrics().horizontalAdvance(name.trimmed()));
        for (QWidget *c : QWidgetList{ui.cmdNext, ui.lblMessage, ui.Label5})
            QCOMPARE(c->cursor().pixmap().toImage(), iconPointer().pixmap().toImage());
        QCOMPARE(ui.sfondo->cursor().pixmap().toImage(), clientPointer().pixmap().toImage());
        QImage clock(32, 32, QImage::Format_ARGB32_Premultiplied);
        clock.fill(Qt::transparent);
        ui.Image1->render(&clock, {}, {}, QWidget::DrawChildren);
        QCOMPARE(clock, pixels(gamePicture(u"orologio"_s, 32, 1).toImage()));
        QCOMPARE(w.windowIcon().pixmap(32).toImage(), gameIcon().pixmap(32).toImage());
        w.show();
        // As a tiling desktop asks: it keeps its layout's size.
        w.resize(1276, 995);
        QCOMPARE(ui.sfondo->size(), QSize(792, 554));
        // The text box and the buttons lie above the labels, cmdNext over Command1.
        for (QWidget *c : QWidgetList{ui.txtAnswer, ui.cmdExit, ui.Command1})
            QCOMPARE(ui.sfondo->childAt(c->geometry().center()), c == ui.Command1 ? ui.cmdNext : c);
    }

    void editingKeys()
    {
        // Keys as X11 and Wayland deliver them, their text included, in a box holding 123 with
        // the caret at its end; what it holds after. Home, End, Left, Shift+Left (S), Delete,
        // keypad Delete (K), Backspace; a small letter with Control; other keys typed.
        const QHash<QChar, std::tuple<Qt::Key, Qt::KeyboardModifiers, const char *>> named{
                {u'H', {Qt::Key_Home, {}, ""}},
                {u'E', {Qt::Key_End, {}, ""}},
                {u'L', {Qt::Key_Left, {}, ""}},
                {u'S', {Qt::Key_Left, Qt::ShiftModifier, ""}},
                {u'D', {Qt::Key_Delete, {}, "\x7f"}},
                {u'K', {Qt::Key_Delete, Qt::KeypadModifier, "\x7f"}},
                {u'B', {Qt::Key_Backspace, {}, "\b"}},
        };
        const std::pair<const char *, const char *> rows[] = {
                {"HD", "23"}, {"HK", "23"},   {"LB", "13"},     {"LLD", "13"},    {"SS7", "17"},
                {"ax", ""},   {"axz", "123"}, {"E#77", "1237"}, {"acEv", "1231"}, {"H7v", "7123"},
        };
        Game g;
        g.start();
        AnswerBox *box = g.ui().txtAnswer;
        for (const auto &[keys, held] : rows) {
            box->setText({});
            QApplication::clipboard()->setText(u"123"_s);
            QTest::keyClicks(box, u"123"_s);
            for (const char c : std::string_view(keys)) {
                if (const int letter = c - 'a'; letter >= 0)
                    QTest::sendKeyEvent(QTest::Click, box, Qt::Key(Qt::Key_A + letter),
                                        QChar(letter + 1), Qt::ControlModifier);
                else if (const auto [key, mods, text] = named.value(QChar(c)); key)
                    QTest::sendKeyEvent(QTest::Click, box, key, QLatin1String(text), mods);
                else
                    QTest::keyClick(box, c);
            }
            QVERIFY2(box->text() == QLatin1String(held), keys);
        }
    }

    void bevel()
    {
        // Raised: dark inside the black right and bottom edges; pressed, sunken.
        PictureButton button;
        button.setFaceColour(QColor(128, 128, 128));
        button.resize(40, 30);
        const QColor dark(64, 64, 64), light(205, 205, 205);
        const std::tuple<bool, QPoint, QColor> rows[] = {
                {false, {1, 28}, dark},       {false, {38, 1}, dark},
                {false, {38, 29}, Qt::black}, {false, {38, 0}, light},
                {false, {38, 20}, dark},      {true, {1, 28}, light},
                {true, {38, 29}, light},      {true, {0, 5}, Qt::black},
                {true, {5, 0}, Qt::black},    {false, {39, 15}, Qt::black},
                {true, {39, 15}, light},
        };
        for (const auto &[down, at, colour] : rows) {
            button.setDown(down);
            QCOMPARE(pixel(&button, at), colour);
        }
        button.setDown(false);
        // The picture centred across, above the caption; the two centred down; with the focus,
        // a frame around the caption alone.
        button.resize(121, 73);
        button.setPictures(u"esci"_s);
        button.setText(u"E&xit"_s);
        const int caption = button.fontMetrics().height(), top = (73 - 32 - caption) / 2;
        QImage picture(32, 32, QImage::Format_RGB32);
        picture.fill(QColor(128, 128, 128));
        QPainter(&picture).drawPixmap(0, 0, gamePicture(u"esci"_s, 32, 1));
        const QImage unfocused = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(unfocused.copy(44, top, 32, 32), picture);
        button.show();
        QVERIFY(QTest::qWaitForWindowActive(&button));
        button.setAttribute(Qt::WA_KeyboardFocusChange); // as a Tab leaves it, frame shown
        QCOMPARE(changed(unfocused, button.grab().toImage()), QRect(2, top + 32, 117, caption));
        // The caption takes the theme's colour for button texts.
        button.setText(u"M"_s);
        const QImage themed = button.grab().toImage();
        QPalette palette;
        palette.setColor(QPalette::ButtonText, Qt::red);
        button.setPalette(palette);
        QVERIFY(button.grab().toImage() != themed);
    }

    void background()
    {
        for (const auto &[tinta, height] : {std::pair{14, 554}, {0, 1000}, {3, 300}}) {
            QImage image(50, height + 1, QImage::Format_RGB32);
            QPainter painter(&image);
            paintBands(painter, {50, height}, tinta, image.rect());
            painter.end();
            // Row y lies in band i when i*H/256 <= y < (i+1)*H/256; black below.
            for (int y = 0, band = 0; y < height; ++y) {
                while ((band + 1) * height / 256 <= y)
                    ++band;
                const QColor wanted(10 * tinta, 10 * tinta, band);
                QVERIFY2(image.pixelColor(49, y) == wanted, qPrintable(QString::number(y)));
            }
            QCOMPARE(image.pixelColor(0, height), QColor(Qt::black));
        }
        // Resized after a painting, it keeps the old one until the next.
        Sfondo sfondo;
        sfondo.resize(792, 554);
        sfondo.PaintBackground(14);
        sfondo.resize(892, 654);
        // In device pixels, on a screen that doubles them too (tst_game_at_2x).
        const qreal r = sfondo.devicePixelRatioF();
        const QImage whole = sfondo.grab().toImage();
        QCOMPARE(whole.pixelColor(QPoint(791, 553) * r), QColor(140, 140, 255));
        QCOMPARE(whole.pixelColor(QPoint(891, 653) * r), QColor(Qt::black));
        // A part uncovered paints the same pixels.
        const QRect part(100, 500, 60, 80);
        QCOMPARE(sfondo.grab(part).toImage(),
                 whole.copy(QRect(part.topLeft() * r, part.size() * r)));
    }

    void pictures()
    {
        // At any density but 1, drawn from their sources there, and shown at their size.
        for (const QString &name : u"orologio nuovo nuovo_premuto nuovo_spento esci"_s.split(u' '))
            for (const qreal density : {1.25, 1.5, 2.0, 3.0}) {
                const QPixmap drawn = gamePicture(name, 32, density);
                QCOMPARE(pixels(drawn.toImage()), source(name, density));
                QCOMPARE(drawn.deviceIndependentSize(), QSizeF(32, 32));
            }
        QCOMPARE(pixels(gameIcon().pixmap(QSize(32, 32), 3.0).toImage()), source(u"brunilla"_s, 3));
        // Where the pointers point: the pencil at its tip, the square at its middle.
        QCOMPARE(clientPointer().hotSpot(), QPoint(0, 0));
        // The pencil, 48 pixels square.
        QCOMPARE(clientPointer().pixmap().size(), QSize(48, 48));
        QCOMPARE(iconPointer().hotSpot(), QPoint(8, 8));
        // The pointer over the verdict and cmdNext: a square within a square.
        const QImage pointer = iconPointer().pixmap().toImage();
        for (const auto &[at, colour] : {std::pair{QPoint(5, 5), Qt::black},
                                         {{10, 10}, Qt::black},
                                         {{6, 6}, Qt::white},
                                         {{11, 8}, Qt::white},
                                         {{8, 11}, Qt::white},
                                         {{15, 8}, Qt::black},
                                         {{8, 15}, Qt::black}})
            QCOMPARE(pointer.pixelColor(at), QColor(colour));
    }

    void aGame()
    {
        Game g;
        made(g.folder.filePath(u"tavrec8.txt"_s), "7\r\n9\r\n");
        bool shown = true, built = true, counting = true;
        // A first draw of 0, then r = 75: 5.
        g.start(u"  Niccolò "_s, {0.5, 0.05, 0.75}, [&] {
            shown = g.window().isVisible();
            built = g.window().centralWidget();
            counting = g.timer->active;
        });
        TavolaUi &ui = g.ui();
        // The boxes come before the window, its widgets and its countdown.
        QVERIFY(!shown);
        QVERIFY(!built);
        QVERIFY(!counting);
        QCOMPARE(g.prompts.last(), u"   Niccolò  vediamo se sei un vero campione  "_s);
        QCOMPARE(ui.lblnome1->text(), u"  Niccolò "_s);
        // Fitted to its text, with the border around it, not over it.
        Etichetta bare;
        bare.setFont(ui.lblnome1->font());
        bare.setAutoSize(true);
        bare.setCaption(ui.lblnome1->text());
        QCOMPARE(ui.lblnome1->size(), bare.size() + QSize(2, 2));
        QCOMPARE(ui.lblpunti->text(), u"7\r\n9\r\n"_s);
        // The holder's file, missing, made empty for the folder's group to write; the score's kept.
        QCOMPARE(QFileInfo(g.folder.filePath(u"ntavrec8.txt"_s)).size(), 0LL);
        QCOMPARE(modeOf(g.folder.filePath(u"ntavrec8.txt"_s)), kGroupWrites);
        // Grown past its one-line box.
        QVERIFY(ui.lblpunti->height() > 37);
        // A draw, the reseed, two draws.
        QCOMPARE(g.log, u"uRuu"_s);
        // What a screen reader is told.
        QCOMPARE(spoken(ui.txtAnswer), u"8 per 5"_s);
        QTest::keyClicks(ui.txtAnswer, u"4a- ."_s);
        QTest::keyClick(ui.txtAnswer, Qt::Key_9, Qt::AltModifier);
        // Digits alone, and nothing typed with Alt; in blue.
        QCOMPARE(ui.txtAnswer->text(), u"4"_s);
        QVERIFY(shows(ui.txtAnswer, Qt::blue));
        g.answer(u"0"_s);
        QCOMPARE(ui.lblMessage->text(), u"Esatto!   Niccolò  sei forte!"_s);
        QCOMPARE(g.window().focusWidget(), ui.cmdNext);
        QCOMPARE(told(ui.cmdNext), ui.lblMessage->text());
        g.next({0.99, 0.7, 0.3});
        QVERIFY(!ui.cmdNext->isEnabled());
        QCOMPARE(ui.txtAnswer->text(), QString());
        // No history growing with every question.
        QVERIFY(!ui.txtAnswer->isUndoAvailable());
        QCOMPARE(ui.lblMessage->text(), QString());
        QCOMPARE(g.window().focusWidget(), ui.txtAnswer);
        QCOMPARE(pixel(ui.sfondo, {780, 1}), QColor(140, 140, 0));
        // The factors keep their yellow box over it; the other labels let it show.
        for (Etichetta *factor : {ui.lblNum1, ui.lblNum2})
            QCOMPARE(pixel(ui.sfondo, factor->geometry().bottomLeft() + QPoint(2, -2)),
                     QColor(Qt::yellow));
        QCOMPARE(pixel(ui.sfondo, ui.Label2->geometry().topLeft()), QColor(140, 140, 0));
        g.answer(u"55"_s);
        QCOMPARE(ui.lblMessage->text(), u"Sbagliato!! 56"_s);
        QCOMPARE(told(ui.cmdNext), u"Sbagliato!! 56"_s);
        // Found by its caption, whatever the verdict.
        QCOMPARE(spoken(ui.cmdNext), u"Nuovo calcolo"_s);
        QCOMPARE(g.played,
                 (QStringList{"/opt/brunilla/suoni/Esatto.wav", "/opt/brunilla/suoni/no.wav"}));
        QCOMPARE(pixel(ui.sfondo, {700, 500}), QColor(Qt::black));
        QCOMPARE(ui.lblScore->text(), u"1"_s);
        QCOMPARE(ui.lblScore1->text(), u"1"_s);
        QCOMPARE(ui.lblScore2->text(), u"2"_s);
        // Heard as they change.
        QCOMPARE(spoken(ui.lblScore2), u"Risposte totali: 2"_s);
        // r = 95: the factor stays 0, and an empty box reads as 0.
        g.next({0.0, 0.0, 0.95});
        QTest::keyClick(ui.txtAnswer, Qt::Key_Return);
        QCOMPARE(ui.lblScore->text(), u"2"_s);
        // Pasted text counts by its leading number, rounded half to even; beyond a
        // whole number, it is wrong.
        const std::pair<const char *, bool> pasted[] = {
                {"56ab", true}, {"56.5", true}, {"57.5", false}, {"1e5", false}};
        for (auto [text, right] : pasted) {
            g.next(dealing(7));
            ui.txtAnswer->setText(QLatin1String(text));
            QTest::keyClick(ui.txtAnswer, Qt::Key_Return);
            QVERIFY2(ui.lblMessage->text().startsWith(right ? u"Esatto" : u"Sbagliato"), text);
        }
        // Enter after judging deals, from the box too; a held Enter deals nothing.
        g.draws = dealing(6);
        ui.txtAnswer->setFocus();
        QTest::keyClick(ui.txtAnswer, Qt::Key_Return);
        QCOMPARE(ui.lblNum2->text(), u"6"_s);
        QCOMPARE(ui.lblScore2->text(), u"7"_s);
        g.answer(u"48"_s);
        QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, u"\r"_s, true);
        QApplication::sendEvent(ui.cmdNext, &held);
        QCOMPARE(ui.txtAnswer->text(), u"48"_s);
        // Minimized, the caption changes, and a screen reader reads it; restored, it stays.
        QCOMPARE(g.window().windowTitle(), u"Gioca con la Brunilla"_s);
        g.window().showMinimized();
        QTRY_COMPARE(g.window().windowTitle(), u"Giocare con la tavola pitagorica"_s);
        QCOMPARE(spoken(&g.window()), u"Giocare con la tavola pitagorica"_s);
        g.window().showNormal();
        QTRY_VERIFY(!g.window().isMinimized());
        QCOMPARE(g.window().windowTitle(), u"Giocare con la tavola pitagorica"_s);
    }

    void endings()
    {
        const QString goodbye = u"Ciao a presto. Ore 0"_s;
        // The answers (r: right, w: wrong), how the game ends (by exit, clicked or by Enter, the
        // time, the title bar; blocked: by exit, the spare file unwritable), the boxes
        // shown, the record after.
        const std::tuple<const char *, std::string_view, QStringList, const char *> rows[] = {
                {"w", "enter", {}, "|"},
                {"rw", "exit", {kSaved}, "1\r\n|Anna\r\n"},
                {"", "time", {goodbye}, "|"},
                {"r", "time", {goodbye, kSaved + u'"'}, "1\r\n|Anna\r\n"},
                {"r", "close", {}, "|"},
                {"r", "blocked", {kSorry}, "|"},
        };
        for (const auto &[answers, how, boxes, record] : rows) {
            Game g;
            g.start();
            for (const char answer : std::string_view(answers)) {
                g.answer(answer == 'r' ? u"40"_s : u"1"_s);
                g.next(dealing(5));
            }
            if (how == "blocked") {
                QDir(g.folder.path()).mkdir(u"ntavrec8.txt.nuovo"_s);
                // Why, for whoever looks into it.
                QTest::ignoreMessage(QtWarningMsg,
                                     "record not saved: cannot open "
                                     "ntavrec8.txt.nuovo: Is a directory");
            }
            g.tick(how == "time" ? 900 : 0);
            // The end comes on the tick after 00:00:00.
            QVERIFY(!g.quit);
            g.tick(how == "time");
            if (how == "close")
                g.window().close();
            else if (how == "enter")
                QTest::keyClick(g.ui().cmdExit, Qt::Key_Return);
            else if (how != "time")
                g.ui().cmdExit->click();
            QTRY_VERIFY2(g.quit, how.data());
            QVERIFY(!g.timer->active);
            QCOMPARE(g.prompts.mid(2), boxes);
            QCOMPARE(g.record(), QLatin1String(record));
            // Saved, through files made as the holder's was.
            if (*record != '|')
                QCOMPARE(modeOf(g.folder.filePath(u"tavrec8.txt"_s)), kGroupWrites);
        }
        // The goodbye's title.
        Game g;
        g.start();
        g.tick(901);
        QCOMPARE(g.titles[2],
                 "Data " + QLocale::system().toString(QDate(2026, 12, 7), QLocale::ShortFormat));
    }

    void keyboard()
    {
        // Before and after an answer: where Tab and Shift+Tab go from Exit, cmdNext only while
        // it is enabled, and what the keys on Command1 and Alt+N deal.
        const std::tuple<const char *, Qt::KeyboardModifiers, const char *, int> rows[] = {
                {"", {}, "txtAnswer Command1 cmdExit txtAnswer", 4},
                {"", Qt::ShiftModifier, "Command1 txtAnswer cmdExit Command1", 4},
                {"40", {}, "cmdNext txtAnswer Command1 cmdExit", 8},
                {"40", Qt::ShiftModifier, "Command1 txtAnswer cmdNext cmdExit", 8},
        };
        for (const auto &[answer, held, order, draws] : rows) {
            Game g;
            g.start();
            TavolaUi &ui = g.ui();
            QVERIFY(QTest::qWaitForWindowActive(&g.window())); // at once offscreen, not on X11
            if (*answer)
                g.answer(QLatin1String(answer));
            ui.cmdExit->setFocus();
            QStringList visited;
            while (visited.size() < 4) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, held);
                visited << QApplication::focusWidget()->objectName();
            }
            QCOMPARE(visited.join(u' '), QLatin1String(order));
            ui.Command1->setFocus();
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
                QTest::keyClick(ui.Command1, key);
            // Access keys press their button a moment later, in the order pressed.
            QTest::keyClick(ui.Command1, Qt::Key_N, Qt::AltModifier);
            QTest::keyClick(ui.Command1, Qt::Key_X, Qt::AltModifier);
            QTRY_VERIFY(g.quit);
            QCOMPARE(g.log.size(), draws);
        }
    }

    void newGame()
    {
        const QString asked = u"INIZIAMO UNA NUOVA GARA  ?"_s,
                      upTo = u"Tavola pitagorica fino al numero? "_s, name = u"Come ti chiami?"_s,
                      notice = u" Anna siccome non hai scelto arriviamo fino al 10."_s;
        // The replies to the boxes and the boxes shown; whether a new game is then dealt, or the
        // old one goes on, its clock having counted while the box was open.
        const std::tuple<std::deque<Reply>, QStringList, bool> rows[] = {
                {{{MsgBoxCode::No, {}, {}}}, {asked}, false},
                {{{MsgBoxCode::Yes, {}, {}}, {}, {}, {MsgBoxCode::Ok, u"Luca"_s, {}}},
                 {asked, upTo, notice, name},
                 true},
                {{{MsgBoxCode::Yes, {}, {}},
                  {MsgBoxCode::Ok, u"12"_s, {}},
                  {MsgBoxCode::Ok, u"Luca"_s, {}}},
                 {asked, upTo, name},
                 true},
        };
        for (const auto &[replies, boxes, afresh] : rows) {
            Game g;
            g.start();
            g.answer(u"40"_s);
            g.replies = replies;
            g.replies.front().whileOpen = [&g] { g.tick(3); };
            g.ui().Next->trigger();
            QTRY_COMPARE(g.windows, afresh ? 2 : 1);
            QTRY_COMPARE(g.log.size(), afresh ? 8 : 4);
            QCOMPARE(g.prompts.mid(2, boxes.size()), boxes);
            QCOMPARE(g.titles[2], u"INIZIARE NUOVA GARA"_s);
            QCOMPARE(g.ui().lblnome1->text(), afresh ? u"Luca"_s : u"Anna"_s);
            QCOMPARE(g.ui().lblScore->text(), afresh ? u"0"_s : u"1"_s);
            QCOMPARE(g.ui().lblconto->text(), afresh ? u"00:15:00"_s : u"00:14:57"_s);
            // The abandoned game stores nothing.
            QCOMPARE(g.record(), u"|"_s);
        }
        // Time runs out while the number is asked: that ending rules, once.
        Game g;
        g.start();
        g.answer(u"40"_s);
        g.replies = {{MsgBoxCode::Yes, {}, {}}, {MsgBoxCode::Ok, {}, [&g] { g.tick(901); }}};
        g.ui().Next->trigger();
        QTRY_VERIFY(g.quit);
        QCOMPARE(g.windows, 1);
        QCOMPARE(g.prompts.last(), kSaved + u'"');
    }

    void theClockRunsBehindARealBox()
    {
        Game g;
        g.realClock = true;
        g.start();
        QtDialogs boxes;
        g.realBoxes = &boxes;
        QString shown;
        whenOpen([&](QWidget *box) {
            (void)QTest::qWaitFor([&] { return g.ui().lblconto->text() == "00:14:58"_L1; }, 5000);
            shown = g.ui().lblconto->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        g.ui().Next->trigger();
        QCOMPARE(shown, u"00:14:58"_s);
    }

    void soundCues()
    {
        // What is missing, a cue's file or the sound module, is said once in the log.
        QTest::failOnWarning(QRegularExpression(u"."_s));
        QTemporaryDir dir;
        const QString cue = made(dir.filePath(u"cue.wav"_s), "RIFF"),
                      none = dir.filePath(u"no.wav"_s);
        LazySoundPlayer sound(dir.filePath(u"none.so"_s));
        QTest::ignoreMessage(QtWarningMsg, qPrintable("no sound: missing " + none));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(u"^no sound: the sound module is missing"_s));
        for (const QString &wave : {none, cue, none, cue})
            sound.PlayWave(wave);
    }

    void boxes()
    {
        // In the layout's face, as the window.
        useLayoutFaceThroughout();
        QtDialogs dialogs;
        const int yesNo = MsgBoxCode::YesNo | MsgBoxCode::Question | MsgBoxCode::DefaultButton2;
        // A message box's buttons and title, what is pressed in it, the answer.
        const std::tuple<int, const char *, Qt::Key, int> rows[] = {
                {MsgBoxCode::OkOnly, "", Qt::Key_Return, MsgBoxCode::Ok},
                {yesNo, "INIZIARE NUOVA GARA", Qt::Key_Return, MsgBoxCode::No},
                {yesNo, "", Qt::Key_Escape, MsgBoxCode::No},
        };
        for (const auto &[code, title, key, answer] : rows) {
            QString shown, face;
            whenOpen([&](QWidget *box) {
                face = box->font().family();
                shown = box->windowTitle();
                QTest::keyClick(box, key);
            });
            QCOMPARE(dialogs.MsgBox(u"?"_s, code, QLatin1String(title)), answer);
            QCOMPARE(shown, *title ? QLatin1String(title) : "Brunilla"_L1);
            QCOMPARE(face, layoutFont(u"MS Sans Serif"_s, 8.25).family());
        }
        for (const auto &[key, answer] : {std::pair{Qt::Key_Return, "Eva"}, {Qt::Key_Escape, ""}}) {
            whenOpen([key](QWidget *box) {
                QTest::keyClicks(box->findChild<QLineEdit *>(), u"Eva"_s);
                QTest::keyClick(box, key);
            });
            QCOMPARE(dialogs.InputBox(u"?"_s, {}, {}), QLatin1String(answer));
        }
        // It takes only what a record may hold.
        whenOpen([](QWidget *box) {
            auto *field = box->findChild<QLineEdit *>();
            field->insert(u"Eva\x1b]0;x\x07"_s);
            field->insert(QString(QChar(0xD800))); // a lone surrogate, which UTF-8 cannot hold
            QTest::keyClicks(field, QString(40, u'b'));
            QTest::keyClick(field, Qt::Key_Return);
        });
        QCOMPARE(dialogs.InputBox(u"?"_s, {}, {}), QString(32, u'b'));
    }

    void theRecordIsSavedInTheBackground()
    {
        // The shared record's helper, how it ends, what the player is told, and whether the
        // record is kept in the player's own folder, to be stored at the next chance.
        const std::tuple<const char *, QStringList, const char *> rows[] = {
                {"exit 0", {kSaved}, "|"},
                {"exit 1", {}, "|"},
                {"exit 2", {kSorry}, "|"},
                {"exit 3", {kKept}, "1\r\n|Anna\r\n"},
                {"kill -9 $$", {kKept}, "1\r\n|Anna\r\n"},
                {"exec sleep 60", {kKept}, "1\r\n|Anna\r\n"}, // stopped at the limit
                {nullptr, {kKept}, "1\r\n|Anna\r\n"}};
        for (const auto &[end, boxes, kept] : rows) {
            Game g;
            const QString input = g.folder.filePath(u"input"_s);
            const QString helper = end
                    ? made(input + ".sh", "cat > " + input.toUtf8() + "; sleep 0.2\n" + end, true)
                    : u"/nowhere"_s;
            g.records =
                    std::make_unique<SharedRecords>(g.folder.path(), helper, input + "own", 3000);
            g.start();
            g.answer(u"40"_s);
            g.ui().cmdExit->click();
            g.ui().cmdExit->click();
            // Back at once, while the helper runs, and no second ending; out of play meanwhile.
            QCOMPARE(g.prompts.size(), 2);
            g.answer(u"40"_s);
            QCOMPARE(g.ui().lblScore->text(), u"1"_s);
            QCOMPARE(g.log, u"uRuu"_s); // nor is a question dealt
            QTRY_VERIFY2(g.quit, end);
            QCOMPARE(g.prompts.mid(2), boxes);
            // What the helper was given.
            QFile given(input);
            QCOMPARE(given.open(QIODevice::ReadOnly) ? given.readAll() : "",
                     end ? "1\nAnna\n" : "");
            const record::Pair own = record::load((input + "own").toStdString());
            QCOMPARE(QByteArray::fromStdString(own.score + '|' + own.holder), kept);
        }
        {
            // A tie is no record: no helper is run, and nothing is said.
            Game g;
            made(g.folder.filePath(u"tavrec8.txt"_s), "1");
            const QString input = g.folder.filePath(u"input"_s);
            const QString helper =
                    made(input + ".sh", "cat > " + input.toUtf8() + "; exit 3", true);
            g.records = std::make_unique<SharedRecords>(g.folder.path(), helper, input + "own");
            g.start();
            g.answer(u"40"_s);
            g.ui().cmdExit->click();
            QTRY_VERIFY(g.quit);
            QCOMPARE(g.prompts.size(), 2);
            QVERIFY(!QFile::exists(input));
        }
        for (const bool goesAtOnce : {true, false}) {
            // Closed while the helper runs, the game lets it finish rather than stop it half way,
            // and tells nothing after.
            Game g;
            const QByteArray done = g.folder.filePath(u"done"_s).toUtf8();
            const QString helper = made(done + ".sh", "cat; sleep 0.5; : > " + done, true);
            g.records = std::make_unique<SharedRecords>(g.folder.path(), helper, done + "own");
            g.start();
            g.answer(u"40"_s);
            g.ui().cmdExit->click();
            g.window().close();
            if (!goesAtOnce)
                QTRY_VERIFY(!g.records->findChild<QProcess *>());
            g.session.reset();
            g.records.reset();
            QVERIFY(QFile::exists(done));
            QCOMPARE(g.prompts.size(), 2);
        }
        // What was kept (by 1.0.0, whose name box took a tab and 40 letters) is stored at the
        // next start, once, by a slow helper, while the game goes on.
        Game g;
        const QByteArray own = g.folder.filePath(u"own"_s).toUtf8();
        QDir().mkpath(own);
        made(own + "/tavrec8.txt", "9");
        made(own + "/ntavrec8.txt", "Eva\t" + QByteArray(40, 'a'));
        // One put aside before.
        made(own + "/tavrec8.txt.offerto", "3");
        QTemporaryDir shared;
        const QByteArray to = shared.path().toUtf8();
        // Stores what it is given, unless told to fail.
        const QString helper =
                made(g.folder.filePath(u"helper"_s),
                     "read s; read n; echo $s $n >> " + to + "/runs; sleep 1; [ -e " + to
                             + "/fail ] && exit 3; echo $s > " + to + "/tavrec8.txt",
                     true);
        g.records = std::make_unique<SharedRecords>(shared.path(), helper, own);
        g.start();
        // A new game, while the offer is still out, does not make it again.
        g.replies = {{MsgBoxCode::Yes, {}, {}}};
        g.ui().Next->trigger();
        QTRY_COMPARE(g.windows, 2);
        QCOMPARE(g.ui().lblpunti->text(), QString());
        // Shown once stored.
        QTRY_COMPARE(g.ui().lblpunti->text(), u"9\n"_s);
        QTRY_VERIFY(!QFile::exists(own + "/tavrec8.txt"));
        QCOMPARE(QFile(own + "/tavrec8.txt.offerto").size(), 1);
        QFile runs(to + "/runs");
        QVERIFY(runs.open(QIODevice::ReadWrite));
        QCOMPARE(runs.readAll(), "9 Eva" + QByteArray(29, 'a') + '\n');
        runs.resize(0);
        // The helper failing now, a record kept goes before the game's own, which is kept too.
        made(to + "/fail", {});
        made(to + "/tavrec8.txt", {});
        made(own + "/tavrec8.txt", "7");
        Game again;
        again.records = std::make_unique<SharedRecords>(shared.path(), helper, own);
        again.start();
        // Offered at the start, in vain; the game's own save waits for that offer, not making
        // it again.
        QTRY_VERIFY(runs.size() == 2);
        QVERIFY(again.records->findChild<QProcess *>());
        again.answer(u"40"_s);
        again.ui().cmdExit->click();
        QTRY_VERIFY(again.quit);
        QCOMPARE(again.prompts.mid(2), QStringList{kKept});
        QCOMPARE(runs.readAll(), "7\n1 Anna\n");
        // The higher of the two is what stays kept.
        QCOMPARE(record::load(own.toStdString()).score, "7");
    }
};

QTEST_MAIN(TestGame)
#include "tst_game.moc"
