#include "layout_engine.h"

#include <QtTest>

#include <functional>
#include <map>
#include <memory>

using namespace tavilon::layout;

namespace {

// A control with just the members it is given.
class FakeControl : public LayoutControl {
public:
    FakeControl(std::string name, std::map<Member, double> members, bool line = false)
        : name_(std::move(name)), members_(std::move(members)), line_(line) {}

    std::string name() const override { return name_; }
    std::optional<double> index() const override { return index_; }
    std::optional<double> read(Member m) const override
    {
        auto it = members_.find(m);
        return it == members_.end() ? std::nullopt : std::optional<double>(it->second);
    }
    bool write(Member m, double v) override
    {
        if (!line_ || !members_.count(m))
            return false;
        members_[m] = v;
        writes.push_back({m, v});
        return true;
    }
    bool writeIntegralHeight(bool v) override
    {
        if (!hasIntegralHeight)
            return false;
        integralHeight = v;
        return true;
    }
    bool move(std::span<const std::int32_t> values) override
    {
        if (!members_.count(Member::Left) || line_)
            return false;
        moves.emplace_back(values.begin(), values.end());
        members_[Member::Left] = values[0];
        members_[Member::Top] = values[1];
        if (values.size() > 2)
            members_[Member::Width] = values[2];
        if (values.size() > 3)
            members_[Member::Height] = values[3];
        if (onMove)
            onMove();
        return true;
    }
    bool isLine() const override { return line_; }

    void set(Member m, double v) { members_[m] = v; }
    double get(Member m) const { return members_.at(m); }

    std::optional<double> index_;
    bool hasIntegralHeight = false;
    std::optional<bool> integralHeight;
    std::vector<std::vector<std::int32_t>> moves;
    std::vector<std::pair<Member, double>> writes;
    std::function<void()> onMove;

private:
    std::string name_;
    std::map<Member, double> members_;
    bool line_;
};

FakeControl box(const std::string& name, double left, double top, double width, double height)
{
    return FakeControl(name, {{Member::Left, left}, {Member::Top, top}, {Member::Width, width}, {Member::Height, height}});
}

FakeControl line(const std::string& name, double x1, double y1, double x2, double y2)
{
    return FakeControl(name, {{Member::X1, x1}, {Member::Y1, y1}, {Member::X2, x2}, {Member::Y2, y2}}, true);
}

class FakeForm : public LayoutForm {
public:
    FakeForm(std::string name, double scaleWidth, double scaleHeight)
        : name_(std::move(name)), scaleWidth_(scaleWidth), scaleHeight_(scaleHeight) {}

    std::string name() const override { return name_; }
    double top() const override { return top_; }
    double left() const override { return 0; }
    double height() const override { return height_; }
    double width() const override { return width_; }
    double scaleHeight() const override { return scaleHeight_; }
    double scaleWidth() const override { return scaleWidth_; }
    std::optional<bool> mdiChild() const override { return mdi_; }
    bool minimised() const override { return minimised_; }
    bool visible() const override { return visible_; }
    void setVisible(bool v) override
    {
        visible_ = v;
        ++visibleWrites;
    }
    void setHeight(double h) override
    {
        height_ = h;
        sizeWrites.push_back({'h', h});
    }
    void setWidth(double w) override
    {
        width_ = w;
        sizeWrites.push_back({'w', w});
    }
    std::vector<LayoutControl*> controls() override { return controls_; }

    void add(LayoutControl& c) { controls_.push_back(&c); }
    void resizeClient(double w, double h)
    {
        scaleWidth_ = w;
        scaleHeight_ = h;
    }

    double top_ = 1000;
    double height_ = 8000;
    double width_ = 8400;
    std::optional<bool> mdi_ = false;
    bool visible_ = true;
    bool minimised_ = false;
    int visibleWrites = 0;
    std::vector<std::pair<char, double>> sizeWrites;

private:
    std::string name_;
    double scaleWidth_;
    double scaleHeight_;
    std::vector<LayoutControl*> controls_;
};

using Moves = std::vector<std::vector<std::int32_t>>;

Moves threeMoves(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h)
{
    return {{l, t, w, h}, {l, t, w}, {l, t}};
}

} // namespace

class TestLayoutEngine : public QObject {
    Q_OBJECT
private slots:
    void registrationRecordsEachKind()
    {
        LayoutEngine engine;
        FakeForm form("Form1", 8265, 7200);
        FakeControl text = box("Text1", 120, 3360, 8055, 3735);
        FakeControl rule = line("Line1", 120, 1440, 4440, 1440);
        FakeControl parked = box("Parked", -74500, 10, 20, 30);
        FakeControl zero = box("Zero", 0, 0, 5, 5);
        FakeControl negative = box("Negative", -100, -7, -20, 5);
        FakeControl halfDown = box("HalfDown", 1234.5, 2.5, 3.5, 0);
        FakeControl halfUp = box("HalfUp", 1235.5, 0, 0, 0);
        FakeControl menu("file", {});
        FakeControl list = box("List1", 1, 2, 3, 4);
        list.hasIntegralHeight = true;
        FakeControl huge = box("Huge", 3e9, 5, 6, 7);
        FakeControl negativeLine = line("Line2", -100, -40, 50, 60);
        QCOMPARE(engine.findForm(form), -1);
        QCOMPARE(engine.findControl(text, "Form1"), -1);
        for (FakeControl* c : {&text, &rule, &parked, &zero, &negative, &halfDown, &halfUp, &menu, &list, &huge, &negativeLine})
            form.add(*c);
        QCOMPARE(engine.registerForm(form), 0);
        QCOMPARE(engine.formRecordCount(), 1);
        QCOMPARE(engine.controlRecordCount(), 11);
        const auto& f = engine.formRecords()[0];
        QCOMPARE(f.scaleWidth, 8265);
        QCOMPARE(f.scaleHeight, 7200);
        QCOMPARE(f.top, 1000);
        QVERIFY(f.formName.empty());

        const auto rec = [&](FakeControl& c) { return engine.controlRecords()[static_cast<std::size_t>(engine.findControl(c, "Form1"))]; };
        auto check = [&](FakeControl& c, int left, int top, int width, int height) {
            const LayoutRecord r = rec(c);
            QCOMPARE(r.name, c.name());
            QCOMPARE(r.formName, std::string("Form1"));
            QCOMPARE(r.left, left);
            QCOMPARE(r.top, top);
            QCOMPARE(r.width, width);
            QCOMPARE(r.height, height);
            QCOMPARE(r.scaleWidth, 0);
        };
        check(text, 120, 3360, 8055, 3735);
        check(rule, 120, 1440, 4440, 1440);
        check(parked, 500, 10, 20, 30);
        check(zero, 0, 0, 5, 5);
        check(negative, 74900, -7, -20, 5); // a true -100 cannot be told from a parked control
        check(halfDown, 1234, 2, 4, 0);     // ties go to the even number
        check(halfUp, 1236, 0, 0, 0);
        check(menu, 0, 0, 0, 0);
        check(huge, 0, 5, 6, 7);            // outside 32 bits: that step fails alone
        check(negativeLine, 74900, -40, 50, 60);
        QVERIFY(!menu.integralHeight.has_value());
        QCOMPARE(list.integralHeight, std::optional<bool>(false));
        QVERIFY(menu.moves.empty() && menu.writes.empty());
    }

    void controlArraysAndSharedFormNames()
    {
        LayoutEngine engine;
        FakeForm form("Form1", 1000, 1000);
        FakeControl a = box("Option", 10, 0, 0, 0);
        FakeControl b = box("Option", 20, 0, 0, 0);
        FakeControl c = box("Option", 30, 0, 0, 0);
        a.index_ = 0;
        b.index_ = 1;
        c.index_ = 2;
        form.add(a);
        form.add(b);
        form.add(c);
        engine.registerForm(form);
        QCOMPARE(engine.controlRecordCount(), 3);
        QCOMPARE(engine.findControl(b, "Form1"), 1);
        QCOMPARE(engine.controlRecords()[2].index, 2);
        QCOMPARE(engine.controlRecords()[2].left, 30);
        QCOMPARE(engine.findControl(b, "Other"), -1);

        // A second form with the same name finds the first one's record.
        FakeForm twin("Form1", 500, 500);
        QCOMPARE(engine.findForm(twin), 0);
        engine.resizeForm(twin);
        QCOMPARE(engine.formRecordCount(), 1);
    }

    void aPassAtTheReferenceSizeRepeatsTheRecord()
    {
        LayoutEngine engine;
        FakeForm form("Form1", 8265, 7200);
        FakeControl text = box("Text1", 120, 3360, 8055, 3735);
        form.add(text);
        engine.resizeForm(form);
        text.set(Member::Left, 999); // moved by other code: put back
        text.set(Member::Width, 1);
        engine.resizeForm(form);
        const Moves once = threeMoves(120, 3360, 8055, 3735);
        Moves expected = once;
        expected.insert(expected.end(), once.begin(), once.end());
        QCOMPARE(text.moves, expected);
        QCOMPARE(engine.widthPercent(form), std::optional<std::int32_t>(100));
    }

    void mainWindowAtOneHundredFiftyPercent()
    {
        LayoutEngine engine;
        FakeForm form("Form1", 8265, 7200);
        FakeControl text = box("Text1", 120, 3360, 8055, 3735);
        FakeControl rule = line("Line1", 120, 1440, 4440, 1440);
        FakeControl menu("file", {});
        for (FakeControl* c : {&text, &rule, &menu})
            form.add(*c);
        engine.resizeForm(form);
        text.moves.clear();
        rule.writes.clear();

        form.resizeClient(12405, 10800);
        engine.resizeForm(form);
        QCOMPARE(engine.widthPercent(form), std::optional<std::int32_t>(150));
        QCOMPARE(text.moves, threeMoves(180, 5040, 12082, 5602));
        const std::vector<std::pair<Member, double>> lineWrites = {
            {Member::X1, 180}, {Member::Y1, 2160}, {Member::X2, 6660}, {Member::Y2, 2160}};
        QCOMPARE(rule.writes, lineWrites);
        QVERIFY(menu.moves.empty());

        // One unit narrower is 99 percent: never rounded up.
        text.moves.clear();
        form.resizeClient(8264, 7200);
        engine.resizeForm(form);
        QCOMPARE(engine.widthPercent(form), std::optional<std::int32_t>(99));
        QCOMPARE(text.moves.front(), (std::vector<std::int32_t>{118, 3360, 7974, 3735}));
    }

    void scalingTruncatesTowardZero()
    {
        QCOMPARE(LayoutEngine::scale(8055, 150), std::optional<std::int32_t>(12082));
        QCOMPARE(LayoutEngine::scale(-505, 150), std::optional<std::int32_t>(-757));
        QCOMPARE(LayoutEngine::scale(2000000000, 150), std::nullopt);
    }

    void parkedControlsStayParked()
    {
        LayoutEngine engine;
        FakeForm form("F", 1000, 1000);
        FakeControl c = box("C", -74500, 0, 10, 10); // parked; real left 500
        FakeControl l = line("L", -74500, 0, 100, 0);
        form.add(c);
        form.add(l);
        engine.resizeForm(form);
        form.resizeClient(1500, 1000);
        c.moves.clear();
        c.set(Member::Left, -74000);
        engine.resizeForm(form);
        QCOMPARE(c.moves.front()[0], 750 - 75000);
        QCOMPARE(l.get(Member::X1), 750.0 - 75000);
        QCOMPARE(l.get(Member::X2), 150.0);
        c.moves.clear();
        c.set(Member::Left, 10); // back in view
        engine.resizeForm(form);
        QCOMPARE(c.moves.front()[0], 750);
    }

    void nestedResizesAreDropped()
    {
        LayoutEngine engine;
        FakeForm form("F", 1000, 1000);
        FakeControl c = box("C", 100, 100, 100, 100);
        form.add(c);
        int nested = 0;
        c.onMove = [&] {
            ++nested;
            QVERIFY(engine.resizeBusy());
            engine.resizeForm(form); // as a resize event caused by the pass would
        };
        engine.resizeForm(form);
        QCOMPARE(nested, 3);
        QCOMPARE(c.moves.size(), std::size_t{3});
        QVERIFY(!engine.resizeBusy());
    }

    void minimisedAndEmptyFormsAreLeftAlone()
    {
        LayoutEngine engine;
        FakeForm away("Away", 1000, 1000);
        away.minimised_ = true;
        FakeControl c = box("C", 1, 2, 3, 4);
        away.add(c);
        engine.resizeForm(away);
        QCOMPARE(engine.formRecordCount(), 0);
        QVERIFY(c.moves.empty());
        away.minimised_ = false;
        engine.resizeForm(away);
        QCOMPARE(engine.formRecordCount(), 1);

        // Far down a tall or stacked desktop a window is laid out as anywhere.
        FakeForm low("Low", 1000, 1000);
        low.top_ = 31500; // 2100 px
        FakeControl d = box("D", 100, 200, 300, 400);
        low.add(d);
        engine.resizeForm(low);
        QCOMPARE(engine.findForm(low), 1);
        d.moves.clear();
        low.resizeClient(2000, 2000);
        engine.resizeForm(low);
        QCOMPARE(d.moves, threeMoves(200, 400, 600, 800));

        FakeForm bare("Bare", 1000, 1000);
        engine.resizeForm(bare);
        engine.resizeForm(bare);
        QCOMPARE(engine.findForm(bare), -1); // every pass counts as its first
    }

    void zeroSizesGiveZeroPercent()
    {
        LayoutEngine engine;
        FakeForm flat("Flat", 0, 1000); // a zero reference width
        FakeControl c = box("C", 100, 100, 100, 100);
        FakeControl p = box("P", -74900, 100, 100, 100);
        flat.add(c);
        flat.add(p);
        engine.resizeForm(flat);
        QCOMPARE(c.moves.front(), (std::vector<std::int32_t>{0, 100, 0, 100}));
        QCOMPARE(p.moves.front()[0], -75000);

        FakeForm form("F", 1000, 1000);
        FakeControl d = box("D", 100, 100, 100, 100);
        form.add(d);
        engine.resizeForm(form);
        form.resizeClient(0, 1000);
        d.moves.clear();
        engine.resizeForm(form);
        QCOMPARE(d.moves.front(), (std::vector<std::int32_t>{0, 100, 0, 100}));
        form.resizeClient(1000, 1000);
        d.moves.clear();
        engine.resizeForm(form);
        QCOMPARE(d.moves.front(), (std::vector<std::int32_t>{100, 100, 100, 100})); // nothing was lost
    }

    void visibilityIsWrittenOnlyWhenItDiffers()
    {
        LayoutEngine engine;
        FakeForm form("F", 1000, 1000);
        FakeControl c = box("C", 1, 1, 1, 1);
        form.add(c);
        form.visible_ = false; // as on the first showing
        engine.resizeForm(form);
        form.visible_ = true;
        engine.resizeForm(form);
        QCOMPARE(form.visibleWrites, 0);
    }

    void mdiChildIsFittedToItsControlsOnItsFirstPass()
    {
        LayoutEngine engine;
        FakeForm child("Child", 3000, 2000);
        child.mdi_ = true;
        child.height_ = 2400;
        child.width_ = 3100;
        FakeControl c = box("C", 100, 100, 1000, 400);   // right 1300, bottom 1000
        FakeControl l = line("L", 50, 1600.4, 2000, 10); // right 2200, bottom 2100
        child.add(c);
        child.add(l);
        engine.resizeForm(child);
        const std::vector<std::pair<char, double>> writes = {{'h', 2100}, {'w', 2200}, {'h', 2400}, {'w', 3100}};
        QCOMPARE(child.sizeWrites, writes);
        QCOMPARE(c.moves.size(), std::size_t{6}); // placed, then placed again at the real size
        QCOMPARE(child.visibleWrites, 0);
        child.sizeWrites.clear();
        engine.resizeForm(child);
        QVERIFY(child.sizeWrites.empty()); // only the first pass fits
    }
};

QTEST_APPLESS_MAIN(TestLayoutEngine)
#include "test_layout_engine.moc"
