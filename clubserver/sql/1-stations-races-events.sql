-- Talvenbahn club server, version 1: the stations, their races and every event of those races.
-- Each station logs in with a role of its own (a member of talvenbahn_station): it may add rows
-- of its own stations and read everyone's, nothing else. A results office logs in with a member
-- of talvenbahn_reader and only reads.
CREATE SCHEMA IF NOT EXISTS talvenbahn;
CREATE TABLE talvenbahn.schema_version (version integer NOT NULL);
INSERT INTO talvenbahn.schema_version (version) VALUES (0);
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'talvenbahn_station') THEN
        CREATE ROLE talvenbahn_station NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'talvenbahn_reader') THEN
        CREATE ROLE talvenbahn_reader NOLOGIN;
    END IF;
END
$$;
GRANT USAGE ON SCHEMA talvenbahn TO talvenbahn_station, talvenbahn_reader;

-- A station is one journal file on one laptop; its login may register several over time.
CREATE TABLE talvenbahn.stations (
    id text PRIMARY KEY CHECK (id ~ '^[0-9a-f]{32}$'),
    login name NOT NULL DEFAULT current_user,
    label text NOT NULL DEFAULT '',
    registered_at timestamptz NOT NULL DEFAULT now()
);

-- A race's row as the station last had it; a change adds a revision, nothing is overwritten.
CREATE TABLE talvenbahn.races (
    station text NOT NULL REFERENCES talvenbahn.stations (id),
    race_id bigint NOT NULL,
    revision integer NOT NULL,
    started_ms bigint NOT NULL,
    title text NOT NULL DEFAULT '',
    session text NOT NULL DEFAULT '',
    cars integer NOT NULL DEFAULT 0,
    laps integer NOT NULL DEFAULT 0,
    state text NOT NULL,
    winner text NOT NULL DEFAULT '',
    boot_id text NOT NULL DEFAULT '',
    received_at timestamptz NOT NULL DEFAULT now(),
    PRIMARY KEY (station, race_id, revision)
);

-- Every event, keyed as in the station's journal, so sending one twice changes nothing.
CREATE TABLE talvenbahn.events (
    station text NOT NULL REFERENCES talvenbahn.stations (id),
    race_id bigint NOT NULL,
    seq integer NOT NULL,
    kind text NOT NULL,
    tick bigint NOT NULL,
    wall_ms bigint NOT NULL,
    car integer NOT NULL DEFAULT 0,
    payload text,
    received_at timestamptz NOT NULL DEFAULT now(),
    PRIMARY KEY (station, race_id, seq)
);

ALTER TABLE talvenbahn.stations ENABLE ROW LEVEL SECURITY;
ALTER TABLE talvenbahn.races ENABLE ROW LEVEL SECURITY;
ALTER TABLE talvenbahn.events ENABLE ROW LEVEL SECURITY;
CREATE POLICY read_all ON talvenbahn.stations FOR SELECT USING (true);
CREATE POLICY add_own ON talvenbahn.stations FOR INSERT TO talvenbahn_station
    WITH CHECK (login = current_user);
CREATE POLICY read_all ON talvenbahn.races FOR SELECT USING (true);
CREATE POLICY add_own ON talvenbahn.races FOR INSERT TO talvenbahn_station
    WITH CHECK (station IN (SELECT id FROM talvenbahn.stations WHERE login = current_user));
CREATE POLICY read_all ON talvenbahn.events FOR SELECT USING (true);
CREATE POLICY add_own ON talvenbahn.events FOR INSERT TO talvenbahn_station
    WITH CHECK (station IN (SELECT id FROM talvenbahn.stations WHERE login = current_user));
GRANT SELECT ON talvenbahn.schema_version, talvenbahn.stations, talvenbahn.races,
    talvenbahn.events TO talvenbahn_station, talvenbahn_reader;
GRANT INSERT ON talvenbahn.stations, talvenbahn.races, talvenbahn.events TO talvenbahn_station;
