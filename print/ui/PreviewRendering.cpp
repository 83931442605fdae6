#include "print/ui/PreviewRendering.h"

#include "print/Pagination.h"
#include "print/ui/Preview.h"

#include <QPainter>

#include <cmath>

int recordPages(TPrintPreview &preview, const Pagination &pages, bool pageNumbers)
{
    const PageGeometry &g = pages.geometry();
    // The paper in 0.1 mm, then in the preview's units.
    const int dpi = preview.logicalDpiY();
    const auto toUnits = [&](int pixels, int deviceDpi) {
        const int loMetric = int(std::nearbyint(pixels * 254.0 / deviceDpi));
        return PaperTypes::convert(loMetric, mmLoMetric, preview.units(), dpi, dpi);
    };
    preview.Clear();
    preview.setPageExtent(QSize(toUnits(g.paperPixels.width(), g.dpiX), toUnits(g.paperPixels.height(), g.dpiY)));
    const QSize extent = preview.pageExtent();
    if (!preview.BeginDoc())
        return 0;
    int recorded = 0;
    bool kept = true;
    // Page by page, so that the first is shown before the rest is laid out.
    for (int page = 0; kept && (page == 0 || pages.hasPageAfter(page - 1)); ++page) {
        if (page > 0)
            kept = preview.NewPage();
        QPainter *canvas = preview.Canvas();
        if (!kept || !canvas)
            break;
        canvas->save();
        canvas->scale(qreal(extent.width()) / g.paperPixels.width(), qreal(extent.height()) / g.paperPixels.height());
        pages.paintPage(*canvas, page, pageNumbers ? page + 1 : 0);
        canvas->restore();
        recorded = page + 1;
    }
    if (!preview.EndDoc())
        recorded = qMax(0, recorded - 1);
    return recorded;
}
