#include <QClipboard>
#include <QTextDocument>
#include <QtTest>
#include <functional>
#include <random>

#include "platform/TextWindow.h"
#include "ui/TextView.h"

using namespace miv;

// The window on screen must behave exactly as the text model of the core: the same
// operations give the same text, caret, selection and colours.
class QtTextWindowTest : public QObject {
    Q_OBJECT

private slots:
    void behavesAsTheTextModelUnderRandomOperations();
    void everyEightBitCharacterSurvivesTheRoundTrip();
    void lineBreaksShowOnceAndCopyAsUnicodeLines();
};

namespace {

void compare(const MemoryTextWindow& model, QtTextWindow& view, const QString& step)
{
    const std::string text = view.text();
    QVERIFY2(text == model.text(), qPrintable(step + ": text differs"));
    QVERIFY2(view.selStart() == model.selStart(), qPrintable(step + ": caret differs"));
    QVERIFY2(view.selLength() == model.selLength(), qPrintable(step + ": selection differs"));
    QVERIFY2(view.insertColour() == model.insertColour(), qPrintable(step + ": colour state differs"));
    for (int i = 0; i < model.length(); ++i) {
        if (text[static_cast<std::size_t>(i)] == '\r')
            continue;  // a line break has no colour of its own on screen
        QVERIFY2(view.colourAt(i) == model.colourAt(i), qPrintable(step + QString(": colour of character %1").arg(i)));
    }
}

std::string randomText(std::mt19937& random)
{
    static const std::string kAlphabet = std::string("abc XYZ\r\n\t\x01\x7f\x80\x81\xa0\xe9\xff") + '\0';
    std::uniform_int_distribution<int> length(0, 6);
    std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
    std::string text;
    for (int n = length(random); n > 0; --n)
        text += kAlphabet[pick(random)];
    return text;
}

}  // namespace

void QtTextWindowTest::behavesAsTheTextModelUnderRandomOperations()
{
    TextView view;
    QtTextWindow& window = view.window();
    MemoryTextWindow model;
    std::mt19937 random(1234);
    const Colour colours[] = {Colour::Black, Colour::Red, Colour::Blue, Colour::Green};
    std::uniform_int_distribution<int> operation(0, 5);
    std::uniform_int_distribution<int> position(-2, 40);
    std::uniform_int_distribution<int> colour(0, 3);
    // Each operation is made on both, with the same arguments.
    const auto both = [&](const std::function<void(TextWindow&)>& operate) {
        operate(window);
        operate(model);
    };
    for (int step = 0; step < 600; ++step) {
        switch (operation(random)) {
        case 0:
            if (step % 50 == 0)  // a rare whole replacement
                both([text = randomText(random) + randomText(random)](TextWindow& w) { w.setText(text); });
            break;
        case 1:
            both([p = position(random)](TextWindow& w) { w.setSelStart(p); });
            break;
        case 2:
            both([n = position(random) / 4](TextWindow& w) { w.setSelLength(n); });
            break;
        case 3:
            both([c = colours[colour(random)]](TextWindow& w) { w.setInsertColour(c); });
            break;
        default:
            both([text = randomText(random)](TextWindow& w) { w.setSelText(text); });
        }
        compare(model, window, QString("step %1").arg(step));
        if (QTest::currentTestFailed())
            return;
    }
}

void QtTextWindowTest::everyEightBitCharacterSurvivesTheRoundTrip()
{
    std::string all;
    for (int code = 0; code < 256; ++code)
        all += static_cast<char>(code);
    TextView view;
    view.window().setText(all);
    QCOMPARE(view.window().text(), all);
    QCOMPARE(view.window().length(), 256);
    QCOMPARE(fromDocumentText(toDocumentText(all)), all);
    // The characters show as their Windows-1252 selves.
    QCOMPARE(toDocumentText("\x80\xe9\xa0"), QString::fromUtf8("\u20ac\u00e9\u00a0"));
}

void QtTextWindowTest::lineBreaksShowOnceAndCopyAsUnicodeLines()
{
    TextView view;
    view.window().setText("one\r\ntwo\rthree\nfour");
    QCOMPARE(view.document()->blockCount(), 3);  // CR LF and CR break; a lone LF does not
    QCOMPARE(toPlainUnicode("one\r\ntwo\rthree \x80"), QString::fromUtf8("one\ntwo\nthree \u20ac"));
    view.selectAll();
    view.copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("one\ntwo\nthree\nfour"));
}

QTEST_MAIN(QtTextWindowTest)
#include "QtTextWindowTest.moc"
