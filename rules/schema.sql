-- The rule database shipped beside the program as pomlet64.dll, generated from this script at
-- build time. Readers take columns by position (SELECT *), so the column order is fixed.
-- define_id, screen_id and region_id are compared with quoted numbers and need INTEGER affinity.

BEGIN TRANSACTION;

CREATE TABLE user_define (
    id     INTEGER PRIMARY KEY,
    name   TEXT,
    hotkey TEXT
);

CREATE TABLE user_define_detail (
    id        INTEGER PRIMARY KEY,
    define_id INTEGER,
    screen_id INTEGER,
    type_id   INTEGER,
    active    INTEGER,
    del_flg   INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE user_define_type (
    id       INTEGER PRIMARY KEY,
    type_flg INTEGER,
    type_id  INTEGER,
    x        REAL,
    y        REAL,
    width    REAL,
    height   REAL
);

CREATE TABLE select_file (
    id        INTEGER PRIMARY KEY,
    define_id INTEGER,
    screen_id INTEGER,
    region_id INTEGER,
    file_path TEXT,
    type      TEXT
);

CREATE TABLE exclude_file (
    id        INTEGER PRIMARY KEY,
    name      TEXT,
    file_path TEXT,
    type      TEXT,
    del_flg   INTEGER NOT NULL DEFAULT 0
);

-- A hotkey reads one layout type's zones and one rule's title bindings; these keep those lookups
-- from scanning every stored zone and binding. Rows with equal keys stay in storage order.
CREATE INDEX user_define_type_by_type ON user_define_type (type_id);
CREATE INDEX select_file_by_rule ON select_file (define_id);

-- The ten preset layout types (type_flg 1). Zones are numbered by id, so each type's rows go in
-- zone order. Thirds are stored as exact quotients, not six-decimal text, so that a monitor whose
-- size divides by three splits into equal whole-pixel zones.
INSERT INTO user_define_type (type_flg, type_id, x, y, width, height) VALUES
    -- 1: the whole monitor
    (1, 1, 0.0, 0.0, 1.0, 1.0),
    -- 2: left half, right half
    (1, 2, 0.0, 0.0, 0.5, 1.0),
    (1, 2, 0.5, 0.0, 0.5, 1.0),
    -- 3: left half, right top quarter, right bottom quarter
    (1, 3, 0.0, 0.0, 0.5, 1.0),
    (1, 3, 0.5, 0.0, 0.5, 0.5),
    (1, 3, 0.5, 0.5, 0.5, 0.5),
    -- 4: top half, bottom half
    (1, 4, 0.0, 0.0, 1.0, 0.5),
    (1, 4, 0.0, 0.5, 1.0, 0.5),
    -- 5: two by two, row by row
    (1, 5, 0.0, 0.0, 0.5, 0.5),
    (1, 5, 0.5, 0.0, 0.5, 0.5),
    (1, 5, 0.0, 0.5, 0.5, 0.5),
    (1, 5, 0.5, 0.5, 0.5, 0.5),
    -- 6: three columns
    (1, 6, 0.0,       0.0, 1.0 / 3, 1.0),
    (1, 6, 1.0 / 3,   0.0, 1.0 / 3, 1.0),
    (1, 6, 2.0 / 3,   0.0, 1.0 / 3, 1.0),
    -- 7: left two thirds, right third
    (1, 7, 0.0,       0.0, 2.0 / 3, 1.0),
    (1, 7, 2.0 / 3,   0.0, 1.0 / 3, 1.0),
    -- 8: left third, right two thirds
    (1, 8, 0.0,       0.0, 1.0 / 3, 1.0),
    (1, 8, 1.0 / 3,   0.0, 2.0 / 3, 1.0),
    -- 9: top half, bottom left quarter, bottom right quarter
    (1, 9, 0.0, 0.0, 1.0, 0.5),
    (1, 9, 0.0, 0.5, 0.5, 0.5),
    (1, 9, 0.5, 0.5, 0.5, 0.5),
    -- 10: left half, right column in three stacked thirds
    (1, 10, 0.0, 0.0,     0.5, 1.0),
    (1, 10, 0.5, 0.0,     0.5, 1.0 / 3),
    (1, 10, 0.5, 1.0 / 3, 0.5, 1.0 / 3),
    (1, 10, 0.5, 2.0 / 3, 0.5, 1.0 / 3);

COMMIT;
