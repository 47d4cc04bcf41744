#include "ui/TextView.h"

#include <QClipboard>
#include <QtTest>
#include <vector>

using namespace miv;

// The send window's key events and what reaches its text.
class TextViewTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void keyDownNamesTheKeyForTheRules();
    void keyPressCarriesTheEightBitCharacterWhichMayBeReplaced();
    void backspaceAndDeleteRemoveOneCharacterEvenWithControl();
    void pasteKeepsSendableCharactersAndMeetsTheKeyRules();

private:
    std::unique_ptr<SendTextEdit> edit_;
    std::vector<SendWindowKey> downs_;
    std::vector<int> presses_;
    bool refuseDown_ = false;
};

void TextViewTest::init()
{
    edit_ = std::make_unique<SendTextEdit>();
    downs_.clear();
    presses_.clear();
    refuseDown_ = false;
    edit_->setKeyDownHandler([this](SendWindowKey key) {
        downs_.push_back(key);
        return !refuseDown_;
    });
    edit_->setKeyPressHandler([this](int character) {
        presses_.push_back(character);
        return character;
    });
    edit_->show();
    QVERIFY(QTest::qWaitForWindowExposed(edit_.get()));
}

void TextViewTest::keyDownNamesTheKeyForTheRules()
{
    using K = SendWindowKey;
    // The keys the rules tell apart.
    const std::pair<Qt::Key, SendWindowKey> keys[] = {{Qt::Key_A, K::Character},         {Qt::Key_Return, K::Character},
                                                      {Qt::Key_Backspace, K::Backspace}, {Qt::Key_Left, K::Left},
                                                      {Qt::Key_Right, K::Right},         {Qt::Key_Escape, K::Escape}};
    for (const auto& [key, expected] : keys) {
        QTest::keyClick(edit_.get(), key);
        QCOMPARE(downs_.back(), expected);
    }
    QTest::keyClick(edit_.get(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(downs_.back(), K::Paste);
}

void TextViewTest::keyPressCarriesTheEightBitCharacterWhichMayBeReplaced()
{
    QTest::keyClicks(edit_.get(), "a;");
    QTest::keyClick(edit_.get(), Qt::Key_Return);
    QTest::keyClick(edit_.get(), Qt::Key_Escape);  // heard, never typed
    // Keys of other keyboards arrive as a key event carrying the character; what has no
    // 8-bit code cannot be sent and is not typed.
    for (QChar c : QString::fromUtf8("\u2603\u00e9\u20ac")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit_.get(), &press);
    }
    QCOMPARE(presses_, (std::vector<int>{'a', ';', 13, 27, 0xE9, 0x80}));
    QCOMPARE(edit_->window().text(), std::string("a;\r\xe9\x80"));
    QCOMPARE(edit_->document()->blockCount(), 2);

    edit_->window().setText("");
    edit_->window().setInsertColour(Colour::Red);
    edit_->setKeyPressHandler([this](int character) {
        edit_->window().setInsertColour(Colour::Black);
        return character == ';' ? 0 : character >= 'a' && character <= 'z' ? character - 32 : character;
    });
    QTest::keyClicks(edit_.get(), "cq de g4abc;");
    QCOMPARE(edit_->window().text(), std::string("CQ DE G4ABC"));
    QCOMPARE(edit_->window().colourAt(0), Colour::Black);  // in the colour the handler set
}

void TextViewTest::backspaceAndDeleteRemoveOneCharacterEvenWithControl()
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

void TextViewTest::pasteKeepsSendableCharactersAndMeetsTheKeyRules()
{
    edit_->setKeyPressHandler([](int character) { return character == 'x' ? 0 : character; });
    edit_->window().append("<>");
    edit_->window().setSelStart(1);
    QGuiApplication::clipboard()->setText(QString::fromUtf8("Gr\u00fc\u00dfe \u2603x\r\nline\ttwo\nend\u0007"));
    QTest::keyClick(edit_.get(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit_->window().text(), std::string("<Gr\xfc\xdf"
                                                 "e \rline\ttwo\rend>"));

    // The middle button and the context menu paste without a key: the rules still
    // hear of it.
    const std::string before = edit_->window().text();
    refuseDown_ = true;
    downs_.clear();
    edit_->paste();
    QCOMPARE(downs_, std::vector<SendWindowKey>{SendWindowKey::Paste});
    QCOMPARE(edit_->window().text(), before);
}

QTEST_MAIN(TextViewTest)
#include "TextViewTest.moc"
