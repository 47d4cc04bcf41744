#include <QClipboard>
#include <QMimeData>
#include <QtTest>
#include <vector>

#include "ui/TextView.h"

using namespace miv;

// The send window's key events and what reaches its text.
class SendTextEditTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void keyDownCarriesTheKeyCodeAndShiftState();
    void keyPressCarriesTheEightBitCharacter();
    void aDiscardedKeyDownTypesNothing();
    void aDiscardedOrReplacedKeyPressIsHonoured();
    void typedTextTakesTheColourOfTheNextInsertion();
    void backspaceAndDeleteRemoveOneCharacterEvenWithControl();
    void enterTypesACarriageReturn();
    void charactersWithoutAnEightBitCodeAreNotTyped();
    void pasteKeepsSendableCharactersAndMeetsTheKeyRules();
    void pasteIsRefusedWhereTheKeyRulesRefuseIt();

private:
    struct KeyDown {
        int code;
        int shift;
    };

    std::unique_ptr<SendTextEdit> edit_;
    std::vector<KeyDown> downs_;
    std::vector<int> presses_;
    int refuseDown_ = -1;  // key code to discard at key-down
};

void SendTextEditTest::init()
{
    edit_ = std::make_unique<SendTextEdit>();
    downs_.clear();
    presses_.clear();
    refuseDown_ = -1;
    edit_->setKeyDownHandler([this](int& code, int shift) {
        downs_.push_back({code, shift});
        if (code == refuseDown_)
            code = 0;
    });
    edit_->setKeyPressHandler([this](int& code) { presses_.push_back(code); });
    edit_->show();
    QVERIFY(QTest::qWaitForWindowExposed(edit_.get()));
}

void SendTextEditTest::keyDownCarriesTheKeyCodeAndShiftState()
{
    QTest::keyClick(edit_.get(), Qt::Key_A);
    QTest::keyClick(edit_.get(), Qt::Key_A, Qt::ShiftModifier);
    QTest::keyClick(edit_.get(), Qt::Key_Left);
    QTest::keyClick(edit_.get(), Qt::Key_Right);
    QTest::keyClick(edit_.get(), Qt::Key_Escape);
    QTest::keyClick(edit_.get(), Qt::Key_Backspace);
    QTest::keyClick(edit_.get(), Qt::Key_Semicolon);
    QTest::keyClick(edit_.get(), Qt::Key_C, Qt::ControlModifier);
    // The modifier keys raise key-down of their own, as they do on any keyboard.
    const std::vector<std::pair<int, int>> expected{{65, 0}, {16, 1}, {65, 1},  {37, 0}, {39, 0},
                                                    {27, 0}, {8, 0},  {186, 0}, {17, 2}, {67, 2}};
    QCOMPARE(downs_.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QCOMPARE(downs_[i].code, expected[i].first);
        QCOMPARE(downs_[i].shift, expected[i].second);
    }
    QCOMPARE(keyDownCode(Qt::Key_5, Qt::KeypadModifier), 101);
    QCOMPARE(keyDownCode(Qt::Key_F1, Qt::NoModifier), 112);
}

void SendTextEditTest::keyPressCarriesTheEightBitCharacter()
{
    QTest::keyClicks(edit_.get(), "a;");
    QTest::keyClick(edit_.get(), Qt::Key_Escape);
    QTest::keyClick(edit_.get(), Qt::Key_Backspace);
    QTest::keyClick(edit_.get(), Qt::Key_Left);  // moves, types nothing
    const std::vector<int> expected{'a', ';', 27, 8};
    QCOMPARE(std::vector<int>(presses_.begin(), presses_.begin() + 4), expected);
    QCOMPARE(edit_->window().text(), std::string("a"));
}

void SendTextEditTest::aDiscardedKeyDownTypesNothing()
{
    QTest::keyClicks(edit_.get(), "ab");
    refuseDown_ = 'C';
    QTest::keyClick(edit_.get(), Qt::Key_C);
    refuseDown_ = 8;
    QTest::keyClick(edit_.get(), Qt::Key_Backspace);
    QCOMPARE(edit_->window().text(), std::string("ab"));
    QCOMPARE(presses_.size(), std::size_t{2});  // no key-press after a discarded key-down
}

void SendTextEditTest::aDiscardedOrReplacedKeyPressIsHonoured()
{
    edit_->setKeyPressHandler([](int& code) {
        if (code == ';')
            code = 0;
        else if (code >= 'a' && code <= 'z')
            code -= 32;
    });
    QTest::keyClicks(edit_.get(), "cq de g4abc;");
    QCOMPARE(edit_->window().text(), std::string("CQ DE G4ABC"));
}

void SendTextEditTest::typedTextTakesTheColourOfTheNextInsertion()
{
    QtTextWindow& window = edit_->window();
    window.setInsertColour(Colour::Red);
    window.append("sent");
    window.setInsertColour(Colour::Black);
    QTest::keyClicks(edit_.get(), "xy");
    QCOMPARE(window.text(), std::string("sentxy"));
    QCOMPARE(window.colourAt(3), Colour::Red);
    QCOMPARE(window.colourAt(4), Colour::Black);
    QCOMPARE(window.colourAt(5), Colour::Black);
}

void SendTextEditTest::backspaceAndDeleteRemoveOneCharacterEvenWithControl()
{
    QtTextWindow& window = edit_->window();
    window.append("one two three");
    QTest::keyClick(edit_.get(), Qt::Key_Backspace, Qt::ControlModifier);
    QCOMPARE(window.text(), std::string("one two thre"));
    window.setSelStart(4);
    QTest::keyClick(edit_.get(), Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(window.text(), std::string("one wo thre"));
    window.setSelStart(0);
    window.setSelLength(4);
    QTest::keyClick(edit_.get(), Qt::Key_Backspace);
    QCOMPARE(window.text(), std::string("wo thre"));
    QTest::keyClick(edit_.get(), Qt::Key_K, Qt::ControlModifier);  // no kill-to-end here
    QCOMPARE(window.text(), std::string("wo thre"));
}

void SendTextEditTest::enterTypesACarriageReturn()
{
    QTest::keyClicks(edit_.get(), "ab");
    QTest::keyClick(edit_.get(), Qt::Key_Return);
    QTest::keyClicks(edit_.get(), "c");
    QCOMPARE(edit_->window().text(), std::string("ab\rc"));
    QCOMPARE(presses_[2], 13);
    QCOMPARE(edit_->document()->blockCount(), 2);
}

void SendTextEditTest::charactersWithoutAnEightBitCodeAreNotTyped()
{
    // Keys of other keyboards, as they arrive: a key event carrying the character.
    for (QChar c : QString::fromUtf8("a\u2603\u00e9\u20ac")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit_.get(), &press);
    }
    QCOMPARE(edit_->window().text(), std::string("a\xe9\x80"));
    QCOMPARE(presses_, (std::vector<int>{'a', 0xE9, 0x80}));
}

void SendTextEditTest::pasteKeepsSendableCharactersAndMeetsTheKeyRules()
{
    edit_->setKeyPressHandler([this](int& code) {
        presses_.push_back(code);
        if (code == 'x')
            code = 0;
    });
    edit_->window().append("<>");
    edit_->window().setSelStart(1);
    QGuiApplication::clipboard()->setText(QString::fromUtf8("Gr\u00fc\u00dfe \u2603x\r\nline\ttwo\nend\u0007"));
    QTest::keyClick(edit_.get(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit_->window().text(), std::string("<Gr\xfc\xdf"
                                                 "e \rline\ttwo\rend>"));
    QCOMPARE(downs_.back().code, 86);
    QCOMPARE(downs_.back().shift, 2);
}

void SendTextEditTest::pasteIsRefusedWhereTheKeyRulesRefuseIt()
{
    edit_->window().append("sent");
    refuseDown_ = 86;
    // The middle button and the context menu reach the window this way, without a key.
    QGuiApplication::clipboard()->setText("more");
    edit_->paste();
    QCOMPARE(edit_->window().text(), std::string("sent"));
    QCOMPARE(downs_.back().code, 86);
}

QTEST_MAIN(SendTextEditTest)
#include "SendTextEditTest.moc"
