#include "kanachart.h"

std::optional<ChartPlace> ChartStep(ChartPlace from, int rowStep, int columnStep) {
    for (ChartPlace place{from.row + rowStep, from.column + columnStep};
         place.row >= 0 && place.row < kChartRows && place.column >= 0 &&
         place.column < kChartColumns;
         place = {place.row + rowStep, place.column + columnStep}) {
        if (ChartKey(place).button != 0)
            return place;
    }
    return std::nullopt;
}
