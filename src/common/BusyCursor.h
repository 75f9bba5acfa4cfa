#pragma once

// Shows a busy mouse pointer while in scope; the previous pointer comes back on leaving.
class BusyCursor {
public:
    enum class Shape { ArrowHourglass, Hourglass };
    explicit BusyCursor(Shape shape = Shape::Hourglass);
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    // Changes the shape while keeping the pointer busy.
    void setShape(Shape shape);
};
