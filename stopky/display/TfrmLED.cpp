#include "TfrmLED.h"

#include "clockwidget.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>

namespace {

QFont ledFont(int pointSize) {
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPointSize(std::max(1, pointSize));
    return f;
}

void setColors(QWidget* w, const QColor& text, const QColor& background) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Window, background);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QLabel* ledLabel(QWidget* parent, const QString& name, const QColor& color, Qt::Alignment align) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(align | Qt::AlignVCenter);
    l->setMargin(0);
    l->setIndent(0);
    setColors(l, color, Qt::black);
    return l;
}

class ScrollFocusFilter : public QObject {
public:
    ScrollFocusFilter(QLineEdit* edit, TfrmLED* led) : QObject(edit), m_edit(edit), m_led(led) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::FocusIn)
            m_led->stopScroll();
        else if (e->type() == QEvent::FocusOut)
            m_led->restartScroll(m_edit->text());
        return false;
    }

private:
    QLineEdit* m_edit;
    TfrmLED* m_led;
};

} // namespace

LedScrollLine::LedScrollLine(const stopky::Scroller* model, QWidget* parent)
    : QWidget(parent), m_model(model) {
    setObjectName(QStringLiteral("DXDraw"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LedScrollLine::paintEvent(QPaintEvent*) {
    ++m_paints;
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    const QString& text = m_model->Scrolly();
    if (!m_measured || text != m_pieces.text() || devicePixelRatioF() != m_dpr) {
        const QFontMetricsF fm(ledFont(50));
        m_pieces.setText(text, [&fm](QStringView piece) { return fm.horizontalAdvance(piece.toString()); });
        m_cache.clear();
        m_dpr = devicePixelRatioF();
        m_measured = true;
    }
    if (text.isEmpty()) return;
    const int x = m_model->scroll();
    const auto [first, last] = m_pieces.visible(-x, width());
    // Pieces that left the view are dropped; the cache holds what one frame shows.
    for (auto it = m_cache.begin(); it != m_cache.end();)
        it = it.key() < first - 1 || it.key() >= last ? m_cache.erase(it) : std::next(it);
    for (qsizetype i = first; i < last; ++i)
        p.drawPixmap(x + m_pieces.pieces().at(i).x, 0, piecePixmap(i));
}

int LedScrollLine::heldWidth() const {
    int w = 0;
    for (const QPixmap& pm : m_cache)
        w += pm.width();
    return w;
}

const QPixmap& LedScrollLine::piecePixmap(qsizetype index) {
    auto it = m_cache.find(index);
    if (it != m_cache.end()) return *it;
    const stopky::ScrollPieces::Piece& piece = m_pieces.pieces().at(index);
    const QFont font = ledFont(50);
    const QFontMetrics fm(font);
    // Transparent around the glyphs: a glyph that reaches past its advance (bold letters do)
    // overlaps the next piece without being cut off by it.
    const QSize size(std::max(1, piece.width + fm.maxWidth()), std::max(1, fm.height()));
    QPixmap pm(size * m_dpr);
    pm.setDevicePixelRatio(m_dpr);
    pm.fill(Qt::transparent);
    QPainter cp(&pm);
    cp.setFont(font);
    cp.setPen(QColor(0, 255, 255));
    cp.drawText(QRect(QPoint(0, 0), size), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                m_pieces.text().mid(piece.start, piece.length));
    cp.end();
    return *m_cache.insert(index, pm);
}

TfrmLED::TfrmLED(FrameClock* frames, QWidget* parent) : QWidget(parent, Qt::Window), m_frames(frames) {
    setObjectName(QStringLiteral("frmLED"));
    setWindowTitle(QStringLiteral("Stopky qx – časomíra pro požární sport"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
    setColors(this, Qt::white, Qt::black);

    lblSDH = ledLabel(this, QStringLiteral("lblSDH"), Qt::yellow, Qt::AlignHCenter);
    lblSDH->hide();
    const char* names[4] = {"lblM0", "lblM1", "lblM2", "lblMR"};
    for (int i = 0; i < 4; ++i) {
        lblM[i] = ledLabel(this, QString::fromLatin1(names[i]), Qt::red, Qt::AlignLeft);
        lblCas[i] = ledLabel(this, QStringLiteral("lblCas%1").arg(i), QColor(0, 255, 0), Qt::AlignRight);
    }
    lblM0 = lblM[0];
    lblM1 = lblM[1];
    lblM2 = lblM[2];
    lblMR = lblM[3];
    lblCas0 = lblCas[0];
    lblCas1 = lblCas[1];
    lblCas2 = lblCas[2];
    lblCas3 = lblCas[3];
    lblpom = ledLabel(this, QStringLiteral("lblpom"), Qt::cyan, Qt::AlignLeft);
    lblpom->hide();

    DXDraw = new LedScrollLine(&m_scroller, this);
    DXDraw->hide();

    pnlStart = new QLabel(this);
    pnlStart->setObjectName(QStringLiteral("pnlStart"));
    pnlStart->setText(QStringLiteral("START"));
    pnlStart->setAlignment(Qt::AlignCenter);
    {
        QFont f(QStringLiteral("Tahoma"));
        f.setBold(true);
        f.setPixelSize(96);
        pnlStart->setFont(f);
    }
    setColors(pnlStart, Qt::white, Qt::red);
    pnlStart->hide();

    tmrStart = new QTimer(this);
    tmrStart->setObjectName(QStringLiteral("tmrStart"));
    tmrStart->setInterval(5000);
    tmrStart->setSingleShot(false);
    connect(tmrStart, &QTimer::timeout, this, [this] {
        tmrStart->stop();
        pnlStart->hide();
    });

    connect(m_frames, &FrameClock::frame, this, &TfrmLED::onFrame);
    m_bounds = new WindowBounds(this);
    resize(462, 328);
}

TfrmLED::~TfrmLED() {
    m_frames->setNeeded(this, false);
}

QSize TfrmLED::measure(const QString& text, int pointSize) {
    const QFontMetrics fm(ledFont(pointSize));
    return {fm.horizontalAdvance(text), fm.height()};
}

void TfrmLED::setTexts(const QString& teamName, const std::array<QString, 4>& rowNames) {
    m_teamName = teamName;
    m_rowNames = rowNames;
    if (isVisible()) PrekresliLED();
}

void TfrmLED::PrekresliLED() {
    stopky::ledlayout::Input in;
    const QSize outer = frameGeometry().size();
    in.width = outer.width();
    in.height = outer.height();
    in.teamName = m_teamName;
    in.rowNames = m_rowNames;
    m_layout = stopky::ledlayout::compute(in, &TfrmLED::measure);

    lblSDH->setText(m_teamName);
    lblSDH->setFont(ledFont(m_layout.teamPointSize));
    lblSDH->setGeometry(m_layout.team);
    lblSDH->show();

    pnlStart->setGeometry(m_layout.startBanner);
    DXDraw->setGeometry(m_layout.scrollLine);
    m_scroller.setWidth(m_layout.scrollLine.width());

    const QFont rowFont = ledFont(m_layout.rowPointSize);
    lblpom->setFont(rowFont);
    lblpom->setText(m_layout.longestName);
    for (int i = 0; i < 4; ++i) {
        lblM[i]->setFont(rowFont);
        lblM[i]->setGeometry(m_layout.names[i]);
        lblM[i]->show();
        lblCas[i]->setFont(rowFont);
        lblCas[i]->setGeometry(m_layout.times[i]);
        lblCas[i]->show();
    }
    pnlStart->raise();
}

void TfrmLED::showSplits(const stopky::SplitTimes& splits) {
    for (int i = 0; i < 4; ++i) {
        const auto& row = splits.row(i);
        lblM[i]->setText(row.taken() ? row.name : QString());
        lblCas[i]->setText(row.time);
        if (i < 3) lblCas[i]->setProperty("tag", QVariant::fromValue<qint64>(row.taken() ? row.count : 0));
    }
    if (isVisible()) PrekresliLED();
}

void TfrmLED::clearRows() {
    showSplits(stopky::SplitTimes());
}

void TfrmLED::showStartBanner() {
    pnlStart->show();
    pnlStart->raise();
    tmrStart->start();
}

void TfrmLED::hideStartBanner() {
    tmrStart->stop();
    pnlStart->hide();
}

void TfrmLED::restartScroll(const QString& text) {
    m_scroller.setWidth(DXDraw->width());
    m_scroller.restart(text, static_cast<double>(m_frames->nowMs()));
    DXDraw->show();
    DXDraw->update();
    updateFrameNeed();
}

void TfrmLED::stopScroll() {
    m_scroller.stop();
    DXDraw->hide();
    updateFrameNeed();
}

void TfrmLED::haltScroll() {
    m_scroller.stop();
    updateFrameNeed();
}

void TfrmLED::updateFrameNeed() {
    m_frames->setNeeded(this, m_scroller.moving() && isVisible() && DXDraw->isVisibleTo(this));
}

void TfrmLED::onFrame(double nowMs) {
    if (!m_scroller.moving() || !isVisible()) return;
    const int before = m_scroller.scroll();
    m_scroller.advance(nowMs);
    if (m_scroller.scroll() != before) DXDraw->update();
}

QRect TfrmLED::ledBounds() const {
    return m_bounds->outer();
}

void TfrmLED::setLedBounds(const QRect& outer) {
    m_bounds->setOuter(outer);
}

void TfrmLED::keyPressEvent(QKeyEvent* event) {
    if (onKeyDown) onKeyDown(event->key(), event->modifiers());
    event->accept();
}

void TfrmLED::closeEvent(QCloseEvent* event) {
    event->accept(); // hides the window; it lives as long as the program
    emit closedByUser();
}

void TfrmLED::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible()) PrekresliLED();
}

void TfrmLED::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    PrekresliLED();
    updateFrameNeed();
}

void TfrmLED::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    updateFrameNeed();
}

void watchScrollFocus(QLineEdit* edtText, TfrmLED* led) {
    edtText->installEventFilter(new ScrollFocusFilter(edtText, led));
}

void showConsoleSplits(const stopky::SplitTimes& splits, const std::array<QLabel*, 4>& labels) {
    for (int i = 0; i < 4; ++i) {
        QLabel* l = labels[static_cast<std::size_t>(i)];
        if (!l) continue;
        if (splits.row(i).taken()) {
            l->setText(splits.consoleText(i));
            l->show();
        } else {
            l->hide();
        }
    }
}

QList<stopky::SplitTimes::AmMezi> mezicas(stopky::SplitTimes& splits, const stopky::RunClock& clock,
                                          int format, const std::array<QString, 4>& names, TfrmLED* led,
                                          const std::array<QLabel*, 4>& consoleLabels) {
    if (!clock.running()) return {};
    const stopky::SplitTimes::Outcome out = splits.mezicas(clock.elapsedMs(), format, names);
    if (out.rows.isEmpty()) return {};
    showConsoleSplits(splits, consoleLabels);
    if (led) led->showSplits(splits);
    return out.messages;
}
