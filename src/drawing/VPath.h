#pragma once

#include "drawing/VObject.h"

#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <memory>
#include <string_view>
#include <vector>

namespace orvenda {

// A path element of a vector image ("p", "r", "R", "o"): segments replayed into a path,
// then drawn by its render code (stroke, fill, both, a vertical gradient or brushed metal
// inside it, or an inner stroke).
class VPath : public VObject {
public:
    enum Tag { kMove = 0, kLine = 1, kCurve = 2, kQuadCurve = 3, kArc = 4, kEllipse = 5, kRectangle = 6, kClose = 7 };
    enum RenderType {
        kStroke = 0,
        kFill = 1,
        kFillStroke = 2,
        kVerticalGradient = 3,
        kBrushedMetal = 4,
        kInnerStroke = 5,
        kFillInnerStroke = 6,
    };

    static std::unique_ptr<VPath> pathWithAttributes(const VAttributes& attributes);
    static std::unique_ptr<VPath> rectPathWithAttributes(const VAttributes& attributes);
    static std::unique_ptr<VPath> roundRectPathWithAttributes(const VAttributes& attributes);
    static std::unique_ptr<VPath> ovalPathWithAttributes(const VAttributes& attributes);

    // "M" two numbers, "L" two, "C" six, "Q" four, "c" none; other items are skipped, and
    // so is a command whose numbers run out.
    void addPointsFromString(std::string_view list);
    void addRectFromString(std::string_view list);
    void addRoundRectFromString(std::string_view list);
    void addOvalFromString(std::string_view list);
    void setRenderTypeFromString(std::string_view code);

    void moveTo(QPointF p);
    void lineTo(QPointF p);
    void curveToC1(QPointF c1, QPointF c2, QPointF end);
    void QcurveToC1(QPointF c1, QPointF end);
    void arcToP1(QPointF p1, QPointF p2, double radius);
    void closePath();

    // The segments as a path.
    QPainterPath path() const;
    void renderInContext(GraphicsContext& context, VContext& record, const VColorTable& variables) const override;

    // Points, sizes and radii in the order the tags take them.
    std::vector<QPointF> pts;
    std::vector<int> tags;
    int renderType = kStroke;

    // Brushed metal: the record's gradient with noise, stretched over the box.
    static void drawMetalRect(GraphicsContext& context, const QRectF& box, const QGradientStops& gradient);
};

} // namespace orvenda
