"""The poster panel dialog's preview pictures: the page as the poster's panels show it, tall
(9174) and wide (9175), cut into tiles by the dialog."""

import pictures as P


def pictures():
    """id -> canvas."""
    return {9174: P.sample_photo(60, 84), 9175: P.sample_photo(84, 60)}
