#include "settings/WelcomeView.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QGraphicsOpacityEffect>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadialGradient>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <QWindow>

#include "platform/qt/Appearance.h"
#include "platform/qt/GlassPainter.h"
#include "platform/qt/Spring.h"
#include "platform/qt/SymbolTable.h"
#include "settings/ApplicationIcon.h"
#include "settings/PermissionControl.h"

namespace vantorel {
namespace {

using Permission = PermissionsManager::Permission;

const QColor kBackground = QColor::fromRgbF(0.04f, 0.055f, 0.08f);
const QColor kTint(10, 132, 255);
constexpr int kPadding = 28;
constexpr int kHeroSide = 134;
constexpr int kIconSide = 98;
constexpr int kSymbolSize = 54;
constexpr int kTextWidth = 420;
constexpr int kRowsWidth = 430;
constexpr int kDotSide = 7;
const Spring kPageSpring(0.5, 0.85);

QColor withAlpha(QColor colour, qreal alpha) {
    colour.setAlphaF(static_cast<float>(alpha));
    return colour;
}

QFont sized(const QFont& base, int pixels, QFont::Weight weight = QFont::Normal) {
    QFont font = base;
    font.setPixelSize(pixels);
    font.setWeight(weight);
    return font;
}

// The always-dark scheme of the welcome window, whatever the desktop's.
QPalette darkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, kBackground);
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Button, QColor(58, 62, 70));
    p.setColor(QPalette::Base, QColor(30, 33, 40));
    p.setColor(QPalette::Highlight, kTint);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, withAlpha(Qt::white, 0.6));
    return p;
}

// The round badge above a page's title: a symbol, or the application's icon.
class Hero final : public QWidget {
public:
    Hero(QString symbol, const SymbolTable& symbols, QWidget* parent)
        : QWidget(parent), symbol_(std::move(symbol)), symbols_(symbols) {
        setFixedSize(kHeroSide, kHeroSide);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF circle = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        p.setPen(QPen(withAlpha(Qt::white, 0.12), 1));
        p.setBrush(withAlpha(kTint, 0.16));
        p.drawEllipse(circle);
        if (symbol_.isEmpty()) {
            const QRectF icon(QPointF(0, 0), QSizeF(kIconSide, kIconSide));
            ApplicationIcon::paint(p, icon.translated(rect().center() - icon.center()));
            return;
        }
        const QRectF glyph(QPointF(0, 0), QSizeF(kSymbolSize, kSymbolSize));
        symbols_.draw(p, glyph.translated(QRectF(rect()).center() - glyph.center()), symbol_,
                      kTint);
    }

private:
    QString symbol_;
    const SymbolTable& symbols_;
};

class PageDots final : public QWidget {
public:
    explicit PageDots(QWidget* parent) : QWidget(parent) {
        setFixedSize(
            (WelcomeController::kLast + 1) * kDotSide + WelcomeController::kLast * kDotSide,
            kDotSide);
    }
    void setCurrent(int step) {
        current_ = step;
        const QString name =
            QStringLiteral("Page %1 of %2").arg(step + 1).arg(WelcomeController::kLast + 1);
        if (name != accessibleName()) setAccessibleName(name);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        for (int i = 0; i <= WelcomeController::kLast; ++i) {
            p.setBrush(i == current_ ? kTint : withAlpha(Qt::white, 0.22));
            p.drawEllipse(QRectF(i * 2 * kDotSide, 0, kDotSide, kDotSide));
        }
    }

private:
    int current_ = 0;
};

// A permission row's card: white at 6 % with a hairline, or opaque where transparency is
// reduced.
class RowCard final : public QWidget {
public:
    RowCard(const Appearance& appearance, QWidget* parent)
        : QWidget(parent), appearance_(appearance) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        if (appearance_.reduceTransparency()) {
            p.setPen(QPen(QColor(70, 74, 82), 1));
            p.setBrush(QColor(28, 31, 37));
        } else {
            p.setPen(QPen(withAlpha(Qt::white, 0.10), 1));
            p.setBrush(withAlpha(Qt::white, 0.06));
        }
        p.drawRoundedRect(r, 12, 12);
    }

private:
    const Appearance& appearance_;
};

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class WelcomeWindow final : public WelcomeController::Window {
public:
    explicit WelcomeWindow(std::unique_ptr<WelcomeView> view) : view_(std::move(view)) {}
    void present() override {
        if (!placed_) {
            // Centred on the screen the first time; afterwards where the user left it.
            placed_ = true;
            if (const QScreen* screen = QGuiApplication::primaryScreen()) {
                QRect frame(QPoint(), view_->size());
                frame.moveCenter(screen->availableGeometry().center());
                view_->move(frame.topLeft());
            }
        }
        view_->show();
        if (!view_->focusWidget()) view_->primaryButton()->setFocus();
        view_->raise();
        view_->activateWindow();
    }
    void close() override { view_->close(); }

private:
    std::unique_ptr<WelcomeView> view_;
    bool placed_ = false;
};

}  // namespace

WelcomeView::WelcomeView(WelcomeController& controller, Appearance& appearance,
                         const SymbolTable& symbols, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      controller_(controller),
      appearance_(appearance),
      symbols_(symbols) {
    setWindowTitle(qtext(WelcomeController::kWindowTitle));
    setAccessibleName(windowTitle());
    setFixedSize(kWidth, kHeight);
    setPalette(darkPalette());
    setAutoFillBackground(false);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    stack_ = new QStackedWidget(this);
    for (int step = 0; step <= WelcomeController::kLast; ++step)
        stack_->addWidget(buildPage(step));
    column->addWidget(stack_, 1);

    auto* bar = new QHBoxLayout;
    back_ = new QPushButton(QStringLiteral("Back"), this);
    back_->setStyleSheet(QStringLiteral(
        "QPushButton { color: rgba(255,255,255,150); background: transparent; border: 1px solid "
        "transparent; border-radius: 6px; padding: 6px 12px; }"
        " QPushButton:focus { border-color: rgba(255,255,255,120); }"));
    // Gone from the first page but keeping its place, so the dots stay centred.
    QSizePolicy keep = back_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    back_->setSizePolicy(keep);
    primary_ = new QPushButton(this);
    primary_->setDefault(true);
    primary_->setMinimumHeight(34);
    primary_->setStyleSheet(
        QStringLiteral("QPushButton { background: %1; color: white; border-radius: 8px;"
                       " padding: 6px 20px; font-weight: 600; }"
                       " QPushButton:focus { border: 2px solid white; }")
            .arg(kTint.name()));
    dots_ = new PageDots(this);
    bar->addWidget(back_);
    bar->addStretch(1);
    bar->addWidget(dots_);
    bar->addStretch(1);
    bar->addWidget(primary_);
    column->addLayout(bar);

    connect(back_, &QPushButton::clicked, this, [this] { controller_.back(); });
    connect(primary_, &QPushButton::clicked, this, [this] { controller_.next(); });
    controller_.onStepChange = [this] { stepChanged(); };
    listener_ = controller_.permissions().addListener([this](Permission) { syncPermissions(); });
    connect(&appearance_, &Appearance::changed, this, qOverload<>(&QWidget::update));
    stepChanged();
    syncPermissions();
}

WelcomeView::~WelcomeView() {
    controller_.onStepChange = nullptr;
    controller_.permissions().removeListener(listener_);
}

WelcomeController::WindowFactory WelcomeView::factory(Appearance& appearance,
                                                      const SymbolTable& symbols,
                                                      std::function<void(QWidget&)> prepare) {
    return [&appearance, &symbols, prepare](WelcomeController& controller) {
        auto view = std::make_unique<WelcomeView>(controller, appearance, symbols);
        // Closing it ends nothing but itself; it is kept for the next show.
        view->setAttribute(Qt::WA_QuitOnClose, false);
        if (prepare) prepare(*view);
        return std::make_unique<WelcomeWindow>(std::move(view));
    };
}

QWidget* WelcomeView::buildPage(int step) {
    const auto& content = WelcomeController::pages()[static_cast<std::size_t>(step)];
    const bool permissions = step == WelcomeController::kPermissionsPage;
    PageWidgets widgets;
    widgets.page = new QWidget;
    auto* column = new QVBoxLayout(widgets.page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(permissions ? 15 : 16);
    column->addStretch(1);
    auto* hero = new Hero(qtext(content.symbol), symbols_, widgets.page);
    column->addWidget(hero, 0, Qt::AlignHCenter);

    auto* titles = new QVBoxLayout;
    titles->setSpacing(6);
    widgets.title = new QLabel(qtext(content.title));
    widgets.title->setFont(sized(font(), 27, QFont::Bold));
    widgets.title->setAlignment(Qt::AlignCenter);
    titles->addWidget(widgets.title);
    if (!content.subtitle.empty()) {
        widgets.subtitle = new QLabel(qtext(content.subtitle));
        widgets.subtitle->setFont(sized(font(), 17, QFont::DemiBold));
        widgets.subtitle->setForegroundRole(QPalette::PlaceholderText);
        widgets.subtitle->setAlignment(Qt::AlignCenter);
        titles->addWidget(widgets.subtitle);
    }
    column->addLayout(titles);

    widgets.text = new QLabel(qtext(content.text));
    widgets.text->setFont(sized(font(), 16));
    widgets.text->setForegroundRole(QPalette::PlaceholderText);
    widgets.text->setAlignment(Qt::AlignCenter);
    widgets.text->setWordWrap(true);
    widgets.text->setFixedWidth(permissions ? kRowsWidth : kTextWidth);
    // All its lines, whatever height the page's layout would otherwise hand it.
    widgets.text->setMinimumHeight(widgets.text->heightForWidth(widgets.text->width()));
    column->addWidget(widgets.text, 0, Qt::AlignHCenter);
    if (permissions) {
        column->addSpacing(2);
        column->addWidget(buildRows(), 0, Qt::AlignHCenter);
    }
    column->addStretch(1);
    pages_.push_back(widgets);
    return widgets.page;
}

QWidget* WelcomeView::buildRows() {
    auto* rows = new QWidget;
    auto* column = new QVBoxLayout(rows);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    for (const auto& row : WelcomeController::permissionRows()) {
        auto* card = new RowCard(appearance_, rows);
        card->setFixedWidth(kRowsWidth);
        auto* line = new QHBoxLayout(card);
        line->setContentsMargins(13, 13, 13, 13);
        line->setSpacing(12);
        auto* texts = new QVBoxLayout;
        texts->setSpacing(2);
        auto* title = new QLabel(qtext(row.title), card);
        title->setFont(sized(font(), 15, QFont::DemiBold));
        auto* detail = new QLabel(qtext(row.detail), card);
        detail->setFont(sized(font(), 12));
        detail->setForegroundRole(QPalette::PlaceholderText);
        texts->addWidget(title);
        texts->addWidget(detail);
        line->addLayout(texts);
        line->addStretch(1);
        const Permission permission = row.permission;
        auto* control = new PermissionControl(
            qtext(row.title), QStringLiteral("Enable"),
            [this, permission] { controller_.enable(permission); }, symbols_, card);
        control->button()->setStyleSheet(
            QStringLiteral("QPushButton { color: white; background: transparent; border: 1px solid "
                           "rgba(255,255,255,90); border-radius: 6px; padding: 3px 12px; }"
                           " QPushButton:focus { border: 2px solid white; }"));
        control->grantedText()->setFont(sized(font(), 14));
        line->addWidget(control);
        controls_.emplace_back(permission, control);
        column->addWidget(card);
    }
    return rows;
}

QWidget* WelcomeView::page(int step) const {
    return step >= 0 && step < int(pages_.size()) ? pages_[std::size_t(step)].page : nullptr;
}
QLabel* WelcomeView::titleLabel(int step) const {
    return page(step) ? pages_[std::size_t(step)].title : nullptr;
}
QLabel* WelcomeView::subtitleLabel(int step) const {
    return page(step) ? pages_[std::size_t(step)].subtitle : nullptr;
}
QLabel* WelcomeView::textLabel(int step) const {
    return page(step) ? pages_[std::size_t(step)].text : nullptr;
}

PermissionControl* WelcomeView::permissionControl(Permission permission) const {
    for (const auto& [which, control] : controls_) {
        if (which == permission) return control;
    }
    return nullptr;
}

void WelcomeView::stepChanged() {
    const int step = controller_.step();
    animateTo(std::clamp(step, 0, WelcomeController::kLast));
    // Invisible and unreachable on the first page, as if it were not there.
    back_->setVisible(controller_.canGoBack());
    primary_->setText(qtext(controller_.primaryTitle()));
    primary_->setAccessibleName(primary_->text());
    static_cast<PageDots*>(dots_)->setCurrent(controller_.step());
    if (primary_->isVisible()) primary_->setFocus();
}

void WelcomeView::animateTo(int index) {
    if (index == stack_->currentIndex()) return;
    finishAnimations();
    if (!isVisible() || appearance_.reduceMotion()) {
        stack_->setCurrentIndex(index);
        return;
    }
    if (!leaving_) leaving_ = new QLabel(this);
    leaving_->setPixmap(stack_->grab());
    leaving_->setGeometry(stack_->geometry());
    stack_->setCurrentIndex(index);
    QWidget* entering = stack_->currentWidget();
    auto* fadeIn = new QGraphicsOpacityEffect(entering);
    auto* fadeOut = new QGraphicsOpacityEffect(leaving_);
    entering->setGraphicsEffect(fadeIn);
    leaving_->setGraphicsEffect(fadeOut);
    leaving_->show();
    leaving_->raise();

    transition_ = new QVariantAnimation(this);
    transition_->setStartValue(0.0);
    transition_->setEndValue(1.0);
    transition_->setDuration(kPageSpring.durationMs());
    const QPoint home = stack_->geometry().topLeft();
    const int width = stack_->width();
    connect(transition_, &QVariantAnimation::valueChanged, this,
            [this, entering, fadeIn, fadeOut, home, width](const QVariant& value) {
                const double p =
                    kPageSpring.progress(value.toDouble() * kPageSpring.durationMs() / 1000.0);
                const double shown = std::clamp(p, 0.0, 1.0);
                entering->move(static_cast<int>(width * (1 - p)), entering->y());
                leaving_->move(home.x() - static_cast<int>(width * p), home.y());
                fadeIn->setOpacity(shown);
                fadeOut->setOpacity(1 - shown);
            });
    connect(transition_, &QVariantAnimation::finished, this, &WelcomeView::finishAnimations);
    transition_->start();
}

void WelcomeView::finishAnimations() {
    if (transition_) {
        QVariantAnimation* done = std::exchange(transition_, nullptr);
        done->stop();
        done->deleteLater();
    }
    if (leaving_) leaving_->hide();
    if (QWidget* page = stack_->currentWidget()) {
        page->setGraphicsEffect(nullptr);
        page->move(0, 0);
    }
}

void WelcomeView::syncPermissions() {
    for (const auto& [permission, control] : controls_)
        control->setStatus(controller_.permissions().status(permission));
}

void WelcomeView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    if (appearance_.reduceTransparency()) return;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    // Three soft circles of colour, blurred far beyond their edges.
    constexpr qreal kBlur = 95;
    const struct {
        QColor colour;
        qreal opacity;
        qreal width;
        QPointF offset;
    } glows[] = {{QColor(10, 132, 255), 0.30, 440, {-130, -210}},
                 {QColor(100, 210, 255), 0.20, 380, {170, -250}},
                 {QColor(191, 90, 242), 0.18, 340, {30, -110}}};
    const QPointF centre = QRectF(rect()).center();
    for (const auto& glow : glows) {
        const QPointF at = centre + glow.offset;
        const qreal radius = glow.width / 2 + kBlur;
        QRadialGradient fade(at, radius);
        fade.setColorAt(0, withAlpha(glow.colour, glow.opacity));
        fade.setColorAt(glow.width / 2 / radius * 0.6, withAlpha(glow.colour, glow.opacity * 0.8));
        fade.setColorAt(1, withAlpha(glow.colour, 0));
        p.setBrush(fade);
        p.drawEllipse(at, radius, radius);
    }
}

void WelcomeView::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    controller_.windowClosed();
}

void WelcomeView::keyPressEvent(QKeyEvent* event) {
    // Return is the primary button's wherever the focus is, unless the focused control uses it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        primary_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WelcomeView::mousePressEvent(QMouseEvent* event) {
    // The window moves by its background, having no visible title bar to hold.
    if (event->button() == Qt::LeftButton && windowHandle()) windowHandle()->startSystemMove();
    QWidget::mousePressEvent(event);
}

}  // namespace vantorel
