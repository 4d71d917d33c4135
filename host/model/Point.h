// A point in art coordinates: points (1/72 inch), x grows to the right and y grows upward.
#pragma once

namespace host::model {

struct Point {
    double x = 0.0;
    double y = 0.0;

    bool operator==(const Point&) const = default;

    Point operator+(const Point& other) const { return {x + other.x, y + other.y}; }
    Point operator-(const Point& other) const { return {x - other.x, y - other.y}; }
    Point operator*(double factor) const { return {x * factor, y * factor}; }
};

}  // namespace host::model
