// A small static server for the page's site on 127.0.0.1, with the types the
// browser insists on (application/wasm for the module). With a bridge, the same
// origin also carries a WebSocket at /bridge to a pseudo-terminal: one binary
// message per chunk of raw bytes each way; the socket closing is the cable
// pulled, from either side.
//
//   node web/test/site-server.mjs --root build/web/site [--port 8080] [--tty /path/to/pty]

import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import tty from 'node:tty';
import { WebSocketServer } from 'ws';

const Types = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.json': 'application/json',
    '.webmanifest': 'application/manifest+json',
    '.wasm': 'application/wasm',
    '.svg': 'image/svg+xml',
    '.png': 'image/png',
};

/** The file under `root` that `urlPath` names; null outside it. */
export function resolveFile(root, urlPath) {
    let local = decodeURIComponent(urlPath.split('?')[0]);
    if (local.endsWith('/')) local += 'index.html';
    const file = path.resolve(root, `.${path.posix.normalize(local)}`);
    return file.startsWith(path.resolve(root) + path.sep) ? file : null;
}

function serveFile(root, request, response, cacheControl) {
    let file;
    try {
        file = resolveFile(root, request.url);
    } catch {
        file = null;
    }
    if (!file || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
        response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
        return;
    }
    response.writeHead(200, {
        'Content-Type': Types[path.extname(file)] ?? 'application/octet-stream',
        'Cache-Control': cacheControl,
        'X-Content-Type-Options': 'nosniff',
    });
    fs.createReadStream(file).pipe(response);
}

// Opens the terminal raw, as a serial port is opened; throws when it cannot.
function openTerminal(ttyPath) {
    const fd = fs.openSync(ttyPath, fs.constants.O_RDWR | fs.constants.O_NOCTTY);
    try {
        execFileSync('stty', ['-F', ttyPath, 'raw', '-echo']);
    } catch (error) {
        fs.closeSync(fd);
        throw error;
    }
    return fd;
}

function bridge(fd, socket, state) {
    state.socket = socket;
    const input = new tty.ReadStream(fd);
    let closed = false;
    const finish = () => {
        if (closed) return;
        closed = true;
        state.socket = null;
        input.destroy();
        socket.close();
    };
    input.on('data', (chunk) => socket.send(chunk, { binary: true }));
    // The device hung up: the terminal's reads fail and the socket closes.
    input.on('error', finish);
    input.on('end', finish);
    input.on('close', finish);
    socket.on('message', (data) => {
        try {
            fs.writeSync(fd, Buffer.from(data));
        } catch {
            finish();
        }
    });
    socket.on('close', finish);
}

function refuse(socket, status) {
    socket.end(`HTTP/1.1 ${status}\r\nConnection: close\r\n\r\n`);
}

/**
 * Starts the server. `tty` is the terminal the bridge reaches, changeable
 * later through `server.bridgeTarget` (a new device plugged in);
 * `server.inject(bytes)` hands bytes to the page as if the device sent them.
 * `cacheControl` is what every file is served with (a host's caching).
 */
export function startServer({ root, port = 0, tty: ttyPath = null, cacheControl = 'no-cache' }) {
    const state = { socket: null };
    const server = http.createServer((request, response) => serveFile(root, request, response, cacheControl));
    server.inject = (bytes) => state.socket?.send(bytes, { binary: true });
    const sockets = new WebSocketServer({ noServer: true });
    server.bridgeTarget = ttyPath;
    server.on('upgrade', (request, socket, head) => {
        if (!request.url.startsWith('/bridge') || !server.bridgeTarget) {
            refuse(socket, '404 Not Found');
            return;
        }
        // One program at a time on a port: a second open is refused.
        if (state.socket) {
            refuse(socket, '409 Conflict');
            return;
        }
        let fd;
        try {
            fd = openTerminal(server.bridgeTarget);
        } catch {
            refuse(socket, '503 Service Unavailable');
            return;
        }
        state.socket = socket;
        sockets.handleUpgrade(request, socket, head, (ws) => bridge(fd, ws, state));
    });
    return new Promise((resolve, reject) => {
        server.once('error', reject);
        server.listen(port, '127.0.0.1', () => {
            server.url = `http://127.0.0.1:${server.address().port}/`;
            resolve(server);
        });
    });
}

function argument(name) {
    const i = process.argv.indexOf(name);
    return i > 0 ? process.argv[i + 1] : undefined;
}

if (import.meta.url === `file://${process.argv[1]}`) {
    const root = argument('--root') ?? 'build/web/site';
    const port = Number(argument('--port') ?? 8080);
    try {
        const server = await startServer({ root, port, tty: argument('--tty') });
        console.log(`site-server: ${server.url}`);
    } catch (error) {
        const hint = error.code === 'EADDRINUSE' ? ' (in use: choose another with VYX_WEB_PORT)' : '';
        console.error(`site-server: cannot serve on 127.0.0.1:${port}${hint}: ${error.message}`);
        process.exit(1);
    }
}
