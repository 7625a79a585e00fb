// Dumps every table of a Jet file as JSON through mdb-reader, an independent reader, for the
// round-trip tests: node read_mdb.mjs FILE
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const reader = new MDBReader(readFileSync(process.argv[2]));
const out = { tables: {}, password: reader.getPassword() };
for (const name of reader.getTableNames({ normalTables: true, systemTables: true })) {
    const table = reader.getTable(name);
    const columns = table.getColumns();
    const rows = table.getData().map((row) =>
        columns.map((c) => {
            const v = row[c.name];
            if (v === null || v === undefined) return null;
            if (v instanceof Date) return { date: v.getTime() };
            if (Buffer.isBuffer(v)) return { bytes: v.toString("base64") };
            if (typeof v === "bigint") return { bigint: v.toString() };
            if (typeof v === "number" && !Number.isFinite(v)) return { number: String(v) };
            return v;
        }),
    );
    out.tables[name] = {
        columns: columns.map((c) => ({ name: c.name, type: c.type, size: c.size })),
        rowCount: table.rowCount,
        rows,
    };
}
process.stdout.write(JSON.stringify(out));
