-- Talvenbahn club server, version 2: race days and seasons, the heats their races timed, and a
-- notice to every listener when events arrive.

-- A race day's or a season's plan as JSON, revised like the races. origin names where it was
-- made ("<station>/<id>"), so two stations timing one day find each other's heats.
CREATE TABLE talvenbahn.documents (
    station text NOT NULL REFERENCES talvenbahn.stations (id),
    kind text NOT NULL CHECK (kind IN ('day', 'season')),
    doc_id bigint NOT NULL,
    revision integer NOT NULL,
    origin text NOT NULL,
    body text NOT NULL,
    removed boolean NOT NULL DEFAULT false,
    received_at timestamptz NOT NULL DEFAULT now(),
    PRIMARY KEY (station, kind, doc_id, revision)
);
CREATE INDEX documents_origin ON talvenbahn.documents (kind, origin);
ALTER TABLE talvenbahn.documents ENABLE ROW LEVEL SECURITY;
CREATE POLICY read_all ON talvenbahn.documents FOR SELECT USING (true);
CREATE POLICY add_own ON talvenbahn.documents FOR INSERT TO talvenbahn_station
    WITH CHECK (station IN (SELECT id FROM talvenbahn.stations WHERE login = current_user));
GRANT SELECT ON talvenbahn.documents TO talvenbahn_station, talvenbahn_reader;
GRANT INSERT ON talvenbahn.documents TO talvenbahn_station;

CREATE VIEW talvenbahn.latest_races AS
    SELECT DISTINCT ON (station, race_id) *
    FROM talvenbahn.races
    ORDER BY station, race_id, revision DESC;
CREATE VIEW talvenbahn.latest_documents AS
    SELECT DISTINCT ON (station, kind, doc_id) *
    FROM talvenbahn.documents
    ORDER BY station, kind, doc_id, revision DESC;
-- The race that timed a heat: its START names the station's day, whose plan names the origin.
CREATE INDEX events_starts ON talvenbahn.events (station, race_id) WHERE kind = 'start';
CREATE VIEW talvenbahn.heat_races AS
    SELECT e.station, e.race_id, d.origin AS day_origin,
           (e.payload::jsonb ->> 'heat')::integer AS heat_id, e.wall_ms AS started_ms
    FROM talvenbahn.events e
    JOIN talvenbahn.latest_documents d
      ON d.station = e.station AND d.kind = 'day' AND NOT d.removed
     AND d.doc_id = (e.payload::jsonb ->> 'raceDay')::bigint
    WHERE e.kind = 'start' AND e.payload IS NOT NULL AND e.payload::jsonb ? 'raceDay';
GRANT SELECT ON talvenbahn.latest_races, talvenbahn.latest_documents, talvenbahn.heat_races
    TO talvenbahn_station, talvenbahn_reader;

-- Listeners hear "<station> <race>" once per race and transaction, and "plans" for a plan.
CREATE FUNCTION talvenbahn.tell_event() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    PERFORM pg_notify('talvenbahn', NEW.station || ' ' || NEW.race_id);
    RETURN NULL;
END
$$;
CREATE TRIGGER events_tell AFTER INSERT ON talvenbahn.events
    FOR EACH ROW EXECUTE FUNCTION talvenbahn.tell_event();
CREATE FUNCTION talvenbahn.tell_plan() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    PERFORM pg_notify('talvenbahn', 'plans');
    RETURN NULL;
END
$$;
CREATE TRIGGER documents_tell AFTER INSERT ON talvenbahn.documents
    FOR EACH STATEMENT EXECUTE FUNCTION talvenbahn.tell_plan();
CREATE TRIGGER races_tell AFTER INSERT ON talvenbahn.races
    FOR EACH STATEMENT EXECUTE FUNCTION talvenbahn.tell_plan();
