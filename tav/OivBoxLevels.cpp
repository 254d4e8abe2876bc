#include "tav/OivBoxLevels.h"

void OivBoxLevels::build(std::vector<Box>&& leaves, uint32_t rows, uint32_t columns) {
    m_Levels.clear();
    if (leaves.empty())
        return;
    m_Levels.push_back(Level{std::move(leaves), rows, columns, false});
    while (m_Levels.back().boxes.size() > 1) {
        const Level& below = m_Levels.back();
        const bool pairsRows = below.rows > below.columns;
        Level level{{},
                    pairsRows ? (below.rows + 1) / 2 : below.rows,
                    pairsRows ? below.columns : (below.columns + 1) / 2,
                    pairsRows};
        level.boxes.resize(size_t(level.rows) * level.columns);
        const uint32_t rowStep = pairsRows ? 2 : 1, columnStep = pairsRows ? 1 : 2;
        for (uint32_t row = 0; row < level.rows; ++row)
            for (uint32_t column = 0; column < level.columns; ++column) {
                const uint32_t firstRow = row * rowStep, firstColumn = column * columnStep;
                Box box = below.boxes[size_t(firstRow) * below.columns + firstColumn];
                const uint32_t secondRow = firstRow + rowStep - 1;
                const uint32_t secondColumn = firstColumn + columnStep - 1;
                if (secondRow < below.rows && secondColumn < below.columns)
                    include(box, below.boxes[size_t(secondRow) * below.columns + secondColumn]);
                level.boxes[size_t(row) * level.columns + column] = box;
            }
        m_Levels.push_back(std::move(level));
    }
}

size_t OivBoxLevels::getMemoryUsage(void) const {
    size_t bytes = m_Levels.capacity() * sizeof(Level);
    for (const Level& level : m_Levels)
        bytes += level.boxes.capacity() * sizeof(Box);
    return bytes;
}
