-- Talvenbahn club server, version 3: a row that a station may write but that is not what a
-- station writes never spoils what every login reads; a station's label cannot pass for
-- another login's station, and a station's login may rename its own stations.

-- The race day and heat a START names; nulls when its payload is not such an object.
CREATE FUNCTION talvenbahn.heat_of_start(payload text, OUT day_id bigint, OUT heat_id integer)
    LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    doc jsonb;
BEGIN
    doc := payload::jsonb;
    IF jsonb_typeof(doc) = 'object' THEN
        day_id := (doc ->> 'raceDay')::bigint;
        heat_id := (doc ->> 'heat')::integer;
    END IF;
EXCEPTION WHEN others THEN
    day_id := NULL;
    heat_id := NULL;
END
$$;
CREATE OR REPLACE VIEW talvenbahn.heat_races AS
    SELECT e.station, e.race_id, d.origin AS day_origin, h.heat_id, e.wall_ms AS started_ms
    FROM talvenbahn.events e
    CROSS JOIN LATERAL talvenbahn.heat_of_start(e.payload) h
    JOIN talvenbahn.latest_documents d
      ON d.station = e.station AND d.kind = 'day' AND NOT d.removed AND d.doc_id = h.day_id
    WHERE e.kind = 'start' AND e.payload IS NOT NULL;

-- Readers show a station as "<label> (<login>)": a label holds no brackets, so it cannot carry
-- another login's name in their place. Labels registered before are left as they are.
ALTER TABLE talvenbahn.stations ADD CONSTRAINT stations_label_plain
    CHECK (char_length(label) <= 64 AND label !~ '[()[:cntrl:]]') NOT VALID;
CREATE POLICY rename_own ON talvenbahn.stations FOR UPDATE TO talvenbahn_station
    USING (login = current_user) WITH CHECK (login = current_user);
GRANT UPDATE (label) ON talvenbahn.stations TO talvenbahn_station;
