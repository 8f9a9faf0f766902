// The Leaflet map page: OpenStreetMap's standard tiles ("Roadmap"), Esri
// World Imagery ("Satellite", and "Hybrid" with Esri's place names above
// it) and CARTO's light tiles ("Light"). The program drives the page with
// scripts and hears about clicks through the channel object "mapDialog".
//
// The route is drawn by one canvas renderer in a pane below the vehicle, as
// lines that take no mouse events: a click anywhere reaches the map's own
// click handler, which reports it to the program.

var map = null;
var markers = [];   // start markers
var routes = [];    // route lines
var pois = [];      // geotag pins
var myMarker = null;
var currLayer = null;
var labelsLayer = null;
var latlng = null;
var mapDialog = null;
var routeRenderer = null;
var tileSources = {roadmap: '', satellite: '', labels: '', light: ''};
var waypoints = [];
var routeLine = null;

var ATTRIBUTION = {
    osm: '&copy; <a href="https://www.openstreetmap.org/copyright">OpenStreetMap</a> contributors',
    esri: 'Tiles &copy; <a href="https://www.esri.com/">Esri</a> &mdash; Source: Esri, Maxar, '
        + 'Earthstar Geographics, and the GIS User Community',
    carto: '&copy; <a href="https://www.openstreetmap.org/copyright">OpenStreetMap</a> contributors '
        + '&copy; <a href="https://carto.com/attributions">CARTO</a>'
};

// Points closer than this (pixels, either way) to the last one drawn are left
// out: the line is 4 pixels wide, so the route looks the same.
var STEP = 2;
var LINE_STYLE = {opacity: 0.8, weight: 4, interactive: false};

function initialize() {
    map = L.map('map', {center: [37.3318, -122.02955], zoom: 12});
    map.createPane('routePane');
    map.getPane('routePane').style.zIndex = 390;  // below everything else drawn on the map
    // The vehicle (a circle marker) above the start markers, below the pins' tooltips.
    map.createPane('vehiclePane');
    map.getPane('vehiclePane').style.zIndex = 620;
    L.CircleMarker.mergeOptions({pane: 'vehiclePane'});
    routeRenderer = L.canvas({pane: 'routePane'});
    map.on('click', function (e) {
        var p = e.latlng.wrap();
        if (mapDialog)
            mapDialog.map_click_slot(p.lat, p.lng);
    });
    if (typeof qt !== 'undefined' && qt.webChannelTransport) {
        new QWebChannel(qt.webChannelTransport, function (channel) {
            mapDialog = channel.objects.mapDialog;
        });
    }
}
window.addEventListener('load', initialize);

function lineOptions(color) {
    return L.extend({color: color, renderer: routeRenderer}, LINE_STYLE);
}

// ---- base layers -------------------------------------------------------------

function setTileSources(sources) {
    tileSources = sources;
}

function setBaseLayer(url, attribution, labelsUrl) {
    if (currLayer)
        map.removeLayer(currLayer);
    if (labelsLayer)
        map.removeLayer(labelsLayer);
    currLayer = null;
    labelsLayer = null;
    if (url)
        currLayer = L.tileLayer(url, {attribution: attribution, maxZoom: 19}).addTo(map);
    if (labelsUrl)
        labelsLayer = L.tileLayer(labelsUrl, {maxZoom: 19}).addTo(map);
}

function roadMap() { setBaseLayer(tileSources.roadmap, ATTRIBUTION.osm, ''); }
function hybridMap() { setBaseLayer(tileSources.satellite, ATTRIBUTION.esri, tileSources.labels); }
function satelliteMap() { setBaseLayer(tileSources.satellite, ATTRIBUTION.esri, ''); }
function lightMap() { setBaseLayer(tileSources.light, ATTRIBUTION.carto, ''); }

// ---- start markers -------------------------------------------------------------

function addMarker(location) {
    var icon = L.divIcon({className: 'vx-start', iconSize: [32, 32], iconAnchor: [16, 16]});
    markers.push(L.marker(location, {icon: icon, interactive: false, keyboard: false}));
}

function showMarkers() {
    for (var i = 0; i < markers.length; ++i)
        markers[i].addTo(map);
}

function clearMarkers() {
    for (var i = 0; i < markers.length; ++i)
        map.removeLayer(markers[i]);
}

function deleteMarkers() {
    clearMarkers();
    markers = [];
}

// ---- the route -------------------------------------------------------------------

function addPolyline(point1, point2, color) {
    routes.push(L.polyline([point1, point2], lineOptions(color)));
}

// One movie's route, drawn by the route canvas without a Leaflet object per
// point. coords: the movie's points as [lat, lon, lat, lon, ...]; runs:
// [first, last, colour, ...], each a run of points first .. last (indexes
// into coords) in colour palette[colour]. The points are kept as Web Mercator
// coordinates of zoom 0 (0 .. 1); drawing scales them to the view, leaves out
// what is off the canvas and points within STEP pixels of the last one drawn,
// and strokes each colour once.
var RouteLayer = L.Path.extend({
    options: {weight: 4, opacity: 0.8, interactive: false},

    initialize: function (palette, coords, runs, options) {
        L.setOptions(this, options);
        this._palette = palette;
        var n = coords.length >> 1;
        var xy = this._xy = new Float64Array(2 * n);
        var south = 90, north = -90, west = 180, east = -180;
        var max = L.Projection.SphericalMercator.MAX_LATITUDE, d = Math.PI / 180;
        for (var i = 0; i < n; ++i) {
            var lat = coords[2 * i], lon = coords[2 * i + 1];
            var sin = Math.sin(Math.max(Math.min(max, lat), -max) * d);
            xy[2 * i] = 0.5 + lon / 360;
            xy[2 * i + 1] = 0.5 - Math.log((1 + sin) / (1 - sin)) / (4 * Math.PI);
            if (lat < south) south = lat;
            if (lat > north) north = lat;
            if (lon < west) west = lon;
            if (lon > east) east = lon;
        }
        this._bounds = L.latLngBounds([south, west], [north, east]);
        var r = this._runs = Int32Array.from(runs);
        var box = this._box = new Float64Array(4 * (r.length / 3));  // per run: min x, min y, max x, max y
        for (var k = 0, j = 0; k < r.length; k += 3, j += 4) {
            box[j] = box[j + 1] = Infinity;
            box[j + 2] = box[j + 3] = -Infinity;
            for (var v = r[k]; v <= r[k + 1]; ++v) {
                box[j] = Math.min(box[j], xy[2 * v]);
                box[j + 1] = Math.min(box[j + 1], xy[2 * v + 1]);
                box[j + 2] = Math.max(box[j + 2], xy[2 * v]);
                box[j + 3] = Math.max(box[j + 3], xy[2 * v + 1]);
            }
        }
        this._all = [Infinity, Infinity, -Infinity, -Infinity];
        for (j = 0; j < box.length; j += 4) {
            this._all[0] = Math.min(this._all[0], box[j]);
            this._all[1] = Math.min(this._all[1], box[j + 1]);
            this._all[2] = Math.max(this._all[2], box[j + 2]);
            this._all[3] = Math.max(this._all[3], box[j + 3]);
        }
    },

    getBounds: function () { return this._bounds; },

    // Points per colour, as the runs hold them.
    vertexCounts: function () {
        var counts = {}, r = this._runs;
        for (var k = 0; k < r.length; k += 3) {
            var c = this._palette[r[k + 2]];
            counts[c] = (counts[c] || 0) + r[k + 1] - r[k] + 1;
        }
        return counts;
    },

    _project: function () {
        var origin = this._map.getPixelOrigin();
        this._scale = 256 * Math.pow(2, this._map.getZoom());
        this._ox = origin.x;
        this._oy = origin.y;
        var a = this._all, s = this._scale;
        this._pxBounds = a[0] <= a[2]
            ? L.bounds([a[0] * s - this._ox, a[1] * s - this._oy], [a[2] * s - this._ox, a[3] * s - this._oy])
            : null;
    },

    _update: function () {},

    _containsPoint: function () { return false; },

    _updatePath: function () {
        var renderer = this._renderer;
        if (!renderer._drawing || !this._pxBounds)
            return;
        var view = renderer._redrawBounds || renderer._bounds;
        var pad = this.options.weight;
        var minX = view.min.x - pad, minY = view.min.y - pad, maxX = view.max.x + pad, maxY = view.max.y + pad;
        var s = this._scale, ox = this._ox, oy = this._oy, xy = this._xy, r = this._runs, box = this._box;
        var paths = [], lastX = -1e9, lastY = -1e9;
        for (var k = 0, j = 0; k < r.length; k += 3, j += 4) {
            var bx0 = box[j] * s - ox, by0 = box[j + 1] * s - oy, bx1 = box[j + 2] * s - ox, by1 = box[j + 3] * s - oy;
            if (bx1 < minX || bx0 > maxX || by1 < minY || by0 > maxY) {
                lastX = lastY = -1e9;
                continue;
            }
            var first = r[k], last = r[k + 1];
            var x = xy[2 * first] * s - ox, y = xy[2 * first + 1] * s - oy;
            // A run that stays within STEP pixels of the point drawn last adds nothing visible.
            if (bx1 - bx0 < STEP && by1 - by0 < STEP && Math.abs(x - lastX) < STEP && Math.abs(y - lastY) < STEP)
                continue;
            var path = paths[r[k + 2]] || (paths[r[k + 2]] = new Path2D());
            path.moveTo(x, y);
            var px = x, py = y;
            for (var v = first + 1; v <= last; ++v) {
                x = xy[2 * v] * s - ox;
                y = xy[2 * v + 1] * s - oy;
                if (v < last && Math.abs(x - px) < STEP && Math.abs(y - py) < STEP)
                    continue;
                path.lineTo(x, y);
                px = x;
                py = y;
            }
            lastX = px;
            lastY = py;
        }
        var ctx = renderer._ctx;
        ctx.save();
        ctx.globalAlpha = this.options.opacity;
        ctx.lineWidth = this.options.weight;
        ctx.lineCap = 'round';
        ctx.lineJoin = 'round';
        for (var c = 0; c < paths.length; ++c) {
            if (paths[c]) {
                ctx.strokeStyle = this._palette[c];
                ctx.stroke(paths[c]);
            }
        }
        ctx.restore();
    }
});

function addRoute(palette, coords, runs) {
    if (runs.length)
        routes.push(new RouteLayer(palette, coords, runs, {renderer: routeRenderer}));
}

// Brings every movie's route into view (after a load).
function fitRoute() {
    var bounds = L.latLngBounds([]);
    for (var i = 0; i < routes.length; ++i)
        bounds.extend(routes[i].getBounds());
    for (i = 0; i < markers.length; ++i)
        bounds.extend(markers[i].getLatLng());
    if (bounds.isValid())
        map.fitBounds(bounds, {padding: [24, 24], maxZoom: 17, animate: false});
}

function showPolylines() {
    for (var i = 0; i < routes.length; ++i)
        routes[i].addTo(map);
    if (myMarker) {  // keep the vehicle above the lines
        map.removeLayer(myMarker);
        myMarker.addTo(map);
    }
}

function clearPolylines() {
    for (var i = 0; i < routes.length; ++i)
        map.removeLayer(routes[i]);
}

function deletePolylines() {
    clearPolylines();
    routes = [];
}

// ---- the vehicle -------------------------------------------------------------------

function map_panTo() {
    map.panTo(latlng, {animate: true, duration: 0.3});
}

function myMarker_setLatLng() {
    if (myMarker)
        myMarker.setLatLng(latlng);
}

// ---- geotag pins ---------------------------------------------------------------------

var SVG = 'http://www.w3.org/2000/svg';

function svgElement(name, attributes) {
    var e = document.createElementNS(SVG, name);
    for (var a in attributes)
        e.setAttribute(a, attributes[a]);
    return e;
}

// A pin 24 x 36 pixels with its number, tip at the bottom centre.
function pinGraphic(number, present) {
    var svg = svgElement('svg', {width: 24, height: 36, viewBox: '0 0 24 36'});
    svg.appendChild(svgElement('path', {
        d: 'M12 35 C12 35 1 20 1 12 A11 11 0 0 1 23 12 C23 20 12 35 12 35 Z',
        fill: present ? '#FFFF00' : '#BBBBBB', stroke: '#000000', 'stroke-width': 1.2}));
    var text = svgElement('text', {x: 12, y: 16, 'text-anchor': 'middle', 'font-family': 'DejaVu Sans, sans-serif',
                                   'font-size': number > 99 ? 8 : 10, 'font-weight': 'bold', fill: '#000000'});
    text.textContent = String(number);
    svg.appendChild(text);
    return svg;
}

function addPoi(location, number, title, present) {
    var icon = L.divIcon({className: 'vx-pin', html: pinGraphic(number, present), iconSize: [24, 36],
                          iconAnchor: [12, 36], tooltipAnchor: [0, -30]});
    var label = document.createElement('span');
    label.textContent = String(title);  // shown as typed, never read as markup
    var marker1 = L.marker(location, {icon: icon, keyboard: false}).bindTooltip(label, {direction: 'top'});
    marker1.addTo(map);
    pois.push(marker1);
    return marker1;
}

function deletePois() {
    for (var i = 0; i < pois.length; ++i)
        map.removeLayer(pois[i]);
    pois = [];
}

// ---- a planned route (part of the page's contract; the program does not use it) --

function addWaypoint(location) { waypoints.push(location); }

function setRoute() {
    if (routeLine)
        map.removeLayer(routeLine);
    routeLine = L.polyline(waypoints, lineOptions('#3388ff'));
}

function showRoute() { if (routeLine) routeLine.addTo(map); }
function clearRoute() { if (routeLine) map.removeLayer(routeLine); }
function deleteRoute() { clearRoute(); routeLine = null; waypoints = []; }
