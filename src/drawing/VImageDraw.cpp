#include "drawing/VImageDraw.h"

#include "drawing/GraphicsContext.h"
#include "drawing/MainScreen.h"
#include "drawing/VPath.h"
#include "drawing/VPathStyle.h"
#include "drawing/VText.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvenda {

extern const char kCalcImagesResource[];
extern const std::size_t kCalcImagesResource_SIZE;

namespace {

// The lean of italic type.
QTransform italicShear() { return QTransform(1, 0, std::tan(-5 * std::numbers::pi / 180), 1, 0, 0); }

QString cacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/images");
}

// A name that is safe as a file name of its own in the cache folder.
bool plainName(const std::string& name)
{
    return !name.empty() && name.size() < 128 && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    });
}

} // namespace

VImageDraw& VImageDraw::vImageDraw()
{
    static VImageDraw* shared = [] {
        auto* library = new VImageDraw;
        library->loadFile("calcImages");
        return library;
    }();
    return *shared;
}

VImageDraw::VImageDraw()
    : elementNames_{{"i", kImage}, {"p", kPath}, {"r", kRect}, {"R", kRoundRect}, {"o", kOval}, {"D", kDrawnImage},
                    {"t", kText}, {"s", kStyle}}
{
}

bool VImageDraw::loadFile(std::string_view name)
{
    if (name == "calcImages")
        return loadData(std::string_view(kCalcImagesResource, kCalcImagesResource_SIZE));
    imageDictionary_.clear();
    imageElements_ = nullptr;
    qWarning("No image resource named %.*s", static_cast<int>(name.size()), name.data());
    return false;
}

bool VImageDraw::loadData(std::string_view xml)
{
    imageDictionary_.clear();
    imageElements_ = nullptr;
    QXmlStreamReader reader(QByteArray::fromRawData(xml.data(), static_cast<qsizetype>(xml.size())));
    bool root = true;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (root) {
            root = false;
            continue;
        }
        VAttributes attributes;
        for (const QXmlStreamAttribute& a : reader.attributes())
            attributes[a.name().toString().toStdString()] = a.value().toString().toStdString();
        startElement(reader.name().toString().toStdString(), std::move(attributes));
    }
    imageElements_ = nullptr;
    if (reader.hasError()) {
        qWarning("Parse Error line:%d col:%d", static_cast<int>(reader.lineNumber()), static_cast<int>(reader.columnNumber()));
        return false;
    }
    return true;
}

void VImageDraw::startElement(std::string_view tag, VAttributes attributes)
{
    const auto kind = elementNames_.find(std::string(tag));
    if (kind == elementNames_.end())
        return;
    if (kind->second == kImage) {
        const auto name = attributes.find("n");
        // An image without a name is skipped: what follows it goes on the image before.
        if (name == attributes.end())
            return;
        ImageRecord& record = imageDictionary_[name->second];
        record.attributes = std::move(attributes);
        record.elements.clear();
        imageElements_ = &record.elements;
        return;
    }
    if (!imageElements_)
        return;
    std::unique_ptr<VObject> element;
    switch (kind->second) {
    case kPath: element = VPath::pathWithAttributes(attributes); break;
    case kRect: element = VPath::rectPathWithAttributes(attributes); break;
    case kRoundRect: element = VPath::roundRectPathWithAttributes(attributes); break;
    case kOval: element = VPath::ovalPathWithAttributes(attributes); break;
    case kText: element = VText::textWithAttributes(attributes); break;
    case kStyle: element = VPathStyle::pathStyleWithAttributes(attributes); break;
    case kDrawnImage: {
        auto drawn = VDrawImage::drawImageFromAttributes(attributes);
        drawn->delegate = this;
        element = std::move(drawn);
        break;
    }
    default: return;
    }
    imageElements_->push_back(std::move(element));
}

std::vector<std::string> VImageDraw::componentsFromString(std::string_view list) { return VObject::componentsFromString(list); }

const VImageDraw::ImageRecord* VImageDraw::image(const std::string& name) const
{
    const auto it = imageDictionary_.find(name);
    return it == imageDictionary_.end() ? nullptr : &it->second;
}

std::vector<std::string> VImageDraw::imageNames() const
{
    std::vector<std::string> names;
    names.reserve(imageDictionary_.size());
    for (const auto& [name, record] : imageDictionary_)
        names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
}

QRectF VImageDraw::boundsForImage(const std::string& name) const
{
    const ImageRecord* record = image(name);
    if (!record)
        return {};
    const auto items = componentsFromString(VObject::attribute(record->attributes, "b"));
    if (!record->attributes.contains("b") || items.size() < 4)
        return {};
    return QRectF(VObject::floatValue(items[0]), VObject::floatValue(items[1]), VObject::floatValue(items[2]),
                  VObject::floatValue(items[3]));
}

void VImageDraw::drawImage(GraphicsContext& context, const std::string& name, QPointF at)
{
    const auto it = imageDictionary_.find(name);
    if (it == imageDictionary_.end() || drawing_.size() >= kMaxImageDepth)
        return;
    // An image that holds itself, however far down, is not drawn again inside itself.
    for (const std::string* outer : drawing_)
        if (*outer == name)
            return;
    drawing_.push_back(&it->first);
    context.translate(at.x(), at.y());
    for (const auto& element : it->second.elements)
        element->renderInContext(context, vContext_, colorDict_);
    context.translate(-at.x(), -at.y());
    drawing_.pop_back();
}

void VImageDraw::drawImage(GraphicsContext& context, const std::string& name, QPointF at, double scale)
{
    context.saveGState();
    context.translate(at.x(), at.y());
    context.scale(scale, scale);
    context.painter().setWorldTransform(italicShear(), true);
    drawImage(context, name, QPointF(0, 0));
    context.restoreGState();
}

std::unique_ptr<QImage> VImageDraw::bitmapFor(const QRectF& bounds, double k)
{
    const double w = std::ceil(bounds.width() * k - 1e-6), h = std::ceil(bounds.height() * k - 1e-6);
    if (!(w >= 1) || !(h >= 1) || !(w <= kMaxBitmapSide) || !(h <= kMaxBitmapSide) || w * h > kMaxBitmapPixels
        || !std::isfinite(bounds.x() * k) || !std::isfinite(bounds.y() * k))
        return nullptr;
    auto image = std::make_unique<QImage>(static_cast<int>(w), static_cast<int>(h), QImage::Format_ARGB32_Premultiplied);
    if (image->isNull())
        return nullptr;
    image->fill(Qt::transparent);
    return image;
}

QImage VImageDraw::render(const QRectF& bounds, double scale, const std::function<void(GraphicsContext&)>& draw, bool skew)
{
    const double screen = MainScreen::scale();
    const double k = scale * screen;
    std::unique_ptr<QImage> image = bitmapFor(bounds, k);
    if (!image)
        return {};
    {
        QPainter painter(image.get());
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
        GraphicsContext context(painter);
        // The bounds' origin on the bitmap's (3 pixels further right for a leaning image).
        context.translate((skew ? 3 : 0) - bounds.x() * k, -bounds.y() * k);
        context.scale(k, k);
        if (skew)
            painter.setWorldTransform(italicShear(), true);
        draw(context);
    }
    image->setDevicePixelRatio(screen);
    return std::move(*image);
}

QImage VImageDraw::getImage(const std::string& name, double scale)
{
    if (!image(name))
        return {};
    const QRectF bounds = boundsForImage(name);
    return render(bounds, scale, [&](GraphicsContext& context) { drawImage(context, name, QPointF(0, 0)); });
}

QImage VImageDraw::getImages(const std::vector<VImageInfo>& infos, double scale)
{
    if (infos.empty())
        return {};
    const QRectF bounds = boundsForImage(infos.front().imageName);
    return render(bounds, scale, [&](GraphicsContext& context) {
        for (const VImageInfo& info : infos) {
            info.setContext(context, vContext_);
            drawImage(context, info.imageName, QPointF(0, 0));
        }
    });
}

QImage VImageDraw::getImage(const std::string& name, double scale, const VColor& strokeColor, const VColor& backColor)
{
    if (!image(name))
        return {};
    const QRectF bounds = boundsForImage(name);
    return render(bounds, scale, [&](GraphicsContext& context) {
        context.setStrokeColor(GraphicsContext::color(strokeColor.r, strokeColor.g, strokeColor.b, 1));
        context.setFillColor(GraphicsContext::color(backColor.r, backColor.g, backColor.b, 1));
        vContext_.strokeR = strokeColor.r, vContext_.strokeG = strokeColor.g, vContext_.strokeB = strokeColor.b;
        vContext_.strokeA = strokeColor.a;
        vContext_.fillR = backColor.r, vContext_.fillG = backColor.g, vContext_.fillB = backColor.b;
        vContext_.fillA = backColor.a;
        drawImage(context, name, QPointF(0, 0));
    });
}

QImage VImageDraw::getImage(const std::string& name, double scale, bool)
{
    if (!image(name))
        return {};
    return render(boundsForImage(name), scale, [&](GraphicsContext& context) { drawImage(context, name, QPointF(0, 0)); },
                  true);
}

QImage VImageDraw::getImageFile(const std::string& name, double scale)
{
    if (!plainName(name))
        return getImage(name, scale);
    const QString folder = cacheFolder();
    QDir().mkpath(folder);
    const QString file = folder + QLatin1Char('/') + QString::fromStdString(name) + QStringLiteral(".png");
    QImage cached;
    if (QFile::exists(file) && cached.load(file)) {
        cached.setDevicePixelRatio(MainScreen::scale());
        return cached;
    }
    QImage made = getImage(name, scale);
    if (!made.isNull())
        made.save(file, "PNG");
    return made;
}

void VImageDraw::clearImageCache()
{
    QDir folder(cacheFolder());
    for (const QString& file : folder.entryList(QDir::Files))
        folder.remove(file);
}

void VImageDraw::drawString(GraphicsContext& context, const QString& text, QPointF at, const TextFont& font,
                            const QColor& color, int justification, double verticalAdvance)
{
    if (justification == 3) {
        for (int i = 0; i < text.size(); ++i) {
            const QString character = text.mid(i, 1);
            const double w = DrawString::VQsizeWithFont(character, font).width();
            DrawString::VQdrawAtPoint(context, character, QPointF(at.x() - w / 2, at.y() + i * verticalAdvance), font, color);
        }
        return;
    }
    const double w = DrawString::VQsizeWithFont(text, font).width();
    if (justification == 1)
        at.rx() -= w / 2;
    else if (justification == 2)
        at.rx() -= w;
    DrawString::VQdrawAtPoint(context, text, at, font, color);
}

void VImageDraw::setColor(const VColor& color, const std::string& name) { colorDict_[name] = color; }

VColor VImageDraw::colorForName(const std::string& name) const
{
    const auto it = colorDict_.find(name);
    return it == colorDict_.end() ? VColor{} : it->second;
}

QColor VImageDraw::uiColorForName(const std::string& name) const
{
    const VColor c = colorForName(name);
    return GraphicsContext::color(c.r, c.g, c.b, c.a);
}

void VImageDraw::setColorName(const std::string& name, int r, int g, int b, double a)
{
    setColor({r / 255.0, g / 255.0, b / 255.0, a}, name);
}

} // namespace orvenda
