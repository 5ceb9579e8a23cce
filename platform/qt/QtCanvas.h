// The canvas on Qt: a QPainter with the platform's text rules (DT_* formats, access-key prefixes, the
// symbol encoding) on top. Paints on a window's painter, or on a small image of its own for measuring.
#pragma once

#include "platform/Canvas.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <memory>
#include <vector>

class QtFont;

class QtCanvas : public ICanvas {
public:
    // Draws through painter, which must outlive the canvas.
    explicit QtCanvas(QPainter* painter);
    // A canvas over an image of its own, for measuring text.
    static std::unique_ptr<QtCanvas> CreateMeasuring();
    ~QtCanvas() override;

    void FillRect(const TRect& rect, uint32_t color) override;
    void SelectFont(const IPlatformFont* font) override;
    void SetTextColor(uint32_t color) override;
    int DrawText(const std::string& text, TRect& rect, unsigned format) override;
    TSize TextExtent(const std::string& text) override;
    int TextHeight() override;
    void StretchDrawPixels(const TRect& dest, int width, int height, const uint32_t* pixels,
                           bool alpha) override;
    void StretchDrawRows(const TRect& dest, const TPixelRows& rows) override;

    void Save() override;
    void Restore() override;
    void Translate(int dx, int dy) override;
    void IntersectClip(const TRect& rect) override;
    void ExcludeClip(const TRect& rect) override;
    bool ClipIsEmpty() const override;

    QPainter* Painter() const { return FPainter; }

private:
    explicit QtCanvas(std::unique_ptr<QImage> image);
    // The text as the selected font shows it (symbol-encoded text becomes its Unicode equivalent).
    QString Shown(const std::string& text) const;

    struct TState {
        const QtFont* Font;
        QColor TextColor;
    };

    std::unique_ptr<QImage> FOwnedImage; // before FOwnedPainter: the painter ends first
    std::unique_ptr<QPainter> FOwnedPainter;
    QPainter* FPainter;
    const QtFont* FFont = nullptr;
    QColor FTextColor = Qt::black;
    std::vector<TState> FSaved;
};
