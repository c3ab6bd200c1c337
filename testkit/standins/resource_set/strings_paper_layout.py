"""Strings of the paper and layout pages that the shared table lacks: the second feed mode."""

STRINGS = {
    2256: "Roll Feed",
}
