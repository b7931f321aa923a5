// Thousands of random byte strings thrown at the number reader and the
// record-file reader: nothing crashes or hangs, every result is in range.

#include "game/rules.h"
#include "storage/recordfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <random>

namespace {

std::mt19937 engine(8);

// Mostly short strings of bytes that a number might be made of, now and
// then anything at all, now and then something huge.
QByteArray randomBytes()
{
    static const char alphabet[] = "0123456789+-.eEdD \t\r\nx\xc3\xb2\xff";
    const int kind = int(engine() % 10);
    const int length = kind == 9 ? int(engine() % 50000) : int(engine() % 40);
    QByteArray bytes(length, '\0');
    for (char &b : bytes)
        b = kind < 6 ? alphabet[engine() % (sizeof alphabet - 1)] : char(engine());
    return bytes;
}

} // namespace

class TestProperty : public QObject
{
    Q_OBJECT
private slots:
    void numberReaderStaysInRange();
    void recordReaderIsBoundedAndSafe();
};

void TestProperty::numberReaderStaysInRange()
{
    for (int i = 0; i < 30000; ++i) {
        const QByteArray bytes = randomBytes();
        for (const QString &text : {QString::fromLatin1(bytes), QString::fromLocal8Bit(bytes)}) {
            const double value = readNumber(text);
            QVERIFY2(!std::isnan(value), bytes.left(60).toHex().constData());
            const std::optional<Whole> whole = toWhole(value);
            if (std::abs(value) <= 32767)
                QVERIFY(whole.has_value());
            if (whole)
                QVERIFY(std::abs(double(*whole) - value) <= 0.5);
            // No sign, no negative number; nothing read, nothing but 0.
            if (!text.isEmpty() && text[0] >= u'0' && text[0] <= u'9')
                QVERIFY(value >= 0);
            if (!text.isEmpty() && QStringLiteral("+-.0123456789 \t").indexOf(text[0]) < 0)
                QCOMPARE(value, 0.0);
        }
    }
}

void TestProperty::recordReaderIsBoundedAndSafe()
{
    QTemporaryDir dir;
    const QString cartella = dir.path() + u'/';
    for (int i = 0; i < 2000; ++i) {
        QByteArray bytes = randomBytes();
        if (i % 500 == 0)
            bytes = QByteArray(10 * 1024 * 1024, char(engine()));
        {
            QFile score(scoreFilePath(cartella));
            QVERIFY(score.open(QIODevice::WriteOnly | QIODevice::Truncate));
            score.write(bytes);
        }
        const QString shown = Leggifiletxt(scoreFilePath(cartella));
        QVERIFY(shown.size() <= 4096);
        const double record = readNumber(shown);
        QVERIFY(!std::isnan(record));
        if (i % 50 == 0) {
            const SaveOutcome outcome = saveRecordIfBeaten(cartella, record, QStringLiteral("99"), QStringLiteral("Anna"));
            QVERIFY(outcome != SaveOutcome::Failed);
            QCOMPARE(outcome == SaveOutcome::Saved, record < 99);
        }
    }
}

QTEST_GUILESS_MAIN(TestProperty)
#include "tst_property.moc"
