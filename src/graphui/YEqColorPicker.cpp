#include "graphui/YEqColorPicker.h"

#include "app/ScreenRouter.h"
#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "graphui/StyleSample.h"
#include "pretty/FontMap.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>

#include <cmath>

namespace orvenda {

namespace {

constexpr int kParametricMode = 1;
constexpr int kPolarMode = 2;
constexpr int kSequenceMode = 3;
constexpr int kNavHeight = 44;
constexpr int kSegmentBarHeight = 52;
// The sample's drawing above its label.
constexpr double kSampleTop = 30;

QColor rgb(const VQColor& c) { return QColor::fromRgbF(c.r(), c.g(), c.b()); }

QString hex(const VColor& c)
{
    return QColor::fromRgbF(c.r, c.g, c.b).name();
}

} // namespace

YEqColorPicker::YEqColorPicker(Calculator& calc, ScreenRouter& router, QWidget* parent)
    : ScreenController(calc, parent), router_(router), model_(std::dynamic_pointer_cast<YEqModel>(calc.yEqManager)),
      navBar_(new QWidget(this)), title_(new QLabel(navBar_)), colorPickerView_(new QWidget(this)),
      segmentBar_(new QWidget(this)), segments_(new QButtonGroup(this))
{
    setAttribute(Qt::WA_StyledBackground);
    setObjectName(QStringLiteral("yEqColorPicker"));
    setStyleSheet(QStringLiteral("#yEqColorPicker { background: rgb(50, 50, 56); }"
                                 "QLabel { color: white; }"));
    navBar_->setAttribute(Qt::WA_StyledBackground);
    auto* nav = new QHBoxLayout(navBar_);
    nav->setContentsMargins(12, 4, 8, 4);
    title_->setFont(FontMap::shared().font("Helvetica-Bold", 17));
    nav->addWidget(title_, 1);
    auto* doneButton = new QPushButton(QStringLiteral("Done"), navBar_);
    done_ = doneButton;
    doneButton->setFont(FontMap::shared().font("Helvetica-Bold", 17));
    doneButton->setFlat(true);
    doneButton->setFocusPolicy(Qt::NoFocus);
    doneButton->setStyleSheet(QStringLiteral("color: white;"));
    nav->addWidget(doneButton);
    connect(doneButton, &QPushButton::clicked, this, [this] { done(); });

    picker_ = new VQColorPicker(colorPickerView_);
    picker_->setDelegate(this);

    auto* row = new QHBoxLayout(segmentBar_);
    row->setContentsMargins(8, 4, 8, 4);
    row->setSpacing(0);
    segmentBar_->setStyleSheet(QStringLiteral("QToolButton { background: rgb(40, 70, 120); border: 1px solid white; }"
                                              "QToolButton:checked { background: rgb(225, 232, 245); }"));
    for (int i = 0; i < kMaxSegments; ++i) {
        auto* button = new QToolButton(segmentBar_);
        button->setCheckable(true);
        button->setIconSize(kSampleSize);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setFocusPolicy(Qt::NoFocus);
        segments_->addButton(button, i);
        row->addWidget(button);
    }
    segments_->setExclusive(true);
    connect(segments_, &QButtonGroup::idClicked, this, [this](int id) { selectSegment(id); });
}

YEqColorPicker::~YEqColorPicker() = default;

void YEqColorPicker::resizeEvent(QResizeEvent*) { layoutSheet(); }

void YEqColorPicker::layoutSheet()
{
    navBar_->setGeometry(0, 0, width(), kNavHeight);
    colorPickerView_->setGeometry(0, kNavHeight, width(), height() - kNavHeight - kSegmentBarHeight);
    picker_->setGeometry(colorPickerView_->rect());
    segmentBar_->setGeometry(0, height() - kSegmentBarHeight, width(), kSegmentBarHeight);
}

int YEqColorPicker::segmentCount() const { return count_; }

int YEqColorPicker::selectedSegment() const { return segments_->checkedId(); }

const QImage& YEqColorPicker::sampleImage(int segment) const { return samples_.at(static_cast<std::size_t>(segment)); }

int YEqColorPicker::segmentForStyle(int style, int segments)
{
    int segment = 0;
    switch (style) {
    case 4: segment = 1; break;
    case 8: segment = 2; break;
    case 10: segment = 3; break;
    case 16: segment = 4; break;
    case 18: segment = 5; break;
    case 32: segment = 2; break;
    default: break;
    }
    return std::min(segment, segments - 1);
}

int YEqColorPicker::styleForSegment(int segment, bool sequence)
{
    switch (segment) {
    case 1: return 4;
    case 2: return sequence ? 32 : 8;
    case 3: return 10;
    case 4: return 16;
    case 5: return 18;
    default: return 2;
    }
}

void YEqColorPicker::setEqNum(int token)
{
    const int mode = calc().graphMode();
    const int count = mode == kParametricMode || mode == kPolarMode ? 2 : mode == kSequenceMode ? 3 : 6;
    if (count != count_) {
        count_ = count;
        for (int i = 0; i < kMaxSegments; ++i)
            segments_->button(i)->setVisible(i < count_);
    }
    navBar_->setStyleSheet(QStringLiteral("background: %1;").arg(hex(calc().interfaceColorIndex(7))));
    title_->setText(QString::fromStdString(calc().nameForOpcode(static_cast<std::uint32_t>(token))));
    const VQColor color = model_->colorForFunction(token).value_or(VQColor::colorR(0, 1, 0, 1));
    picker_->initColor(color);
    eqNum_ = token;
    segments_->button(segmentForStyle(model_->styleForFunction(token), count_))->setChecked(true);
    changeColor(color);
}

void YEqColorPicker::selectSegment(int segment)
{
    if (segment < 0 || segment >= count_)
        return;
    segments_->button(segment)->setChecked(true);
    // In the colour being chosen: the stored one would undo the user's choice on sight.
    changeColor(picker_->color());
}

void YEqColorPicker::changeColor(const VQColor& color)
{
    const bool sequence = calc().graphMode() == kSequenceMode;
    const QColor background = rgb(calc().locked()->backgroundColor);
    const double scale = devicePixelRatioF();
    for (int i = 0; i < count_; ++i) {
        samples_[static_cast<std::size_t>(i)] = sample(i, sequence, color, i == selectedSegment(), background, scale);
        segments_->button(i)->setIcon(QIcon(QPixmap::fromImage(samples_[static_cast<std::size_t>(i)])));
    }
}

void YEqColorPicker::done()
{
    const int style = styleForSegment(selectedSegment(), calc().graphMode() == kSequenceMode);
    model_->setStyle(style, picker_->color(), eqNum_);
    router_.overlayDone();
}

QImage YEqColorPicker::sample(int segment, bool sequence, const VQColor& color, bool selected, const QColor& background,
    double scale)
{
    QImage image(QSize(std::lround(kSampleSize.width() * scale), std::lround(kSampleSize.height() * scale)),
        QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF top(0, 0, kSampleSize.width(), kSampleTop);
    painter.fillRect(top, background);
    painter.save();
    painter.setClipRect(top);
    QPainterPath curve;
    curve.moveTo(0, 22);
    curve.quadTo(13, 7, 26, 15);
    curve.quadTo(39, 22, 52, 7);
    StyleSample::draw(painter, styleForSegment(segment, sequence), curve, top, color);
    painter.restore();
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(QRectF(0.5, 0.5, 47, 29));
    static constexpr std::array<const char*, 6> kLabels{"=", "=", ">", "≥", "<", "≤"};
    const char* label = segment == 2 && sequence ? "=" : kLabels.at(static_cast<std::size_t>(segment));
    painter.setFont(FontMap::shared().font("Helvetica-Bold", 12));
    painter.setPen(selected ? Qt::black : Qt::white);
    painter.drawText(QRectF(0, 27, kSampleSize.width(), kSampleSize.height() - 27), Qt::AlignHCenter | Qt::AlignTop,
        QString::fromUtf8(label));
    return image;
}

QWidget* YEqColorPicker::leaveControl() const { return done_; }

} // namespace orvenda
